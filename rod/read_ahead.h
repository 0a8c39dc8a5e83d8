#pragma once
// Reading a file one block ahead of its reader, on a second thread.
//
// Copying a large file out of the page cache costs the reader's thread as
// much as a twentieth of reading it. A helper thread reads the next block
// while the reader splits the current one into lines.

#include "thread/quiet_thread.h"

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>

// Reads up to size bytes into buffer, stopping early only at the end of the
// file: the byte count, or -1 with errno for a failed read.
ssize_t rod_read_block(int fd, char* buffer, std::size_t size);

class RodReadAhead {
  public:
    RodReadAhead() = default;
    RodReadAhead(const RodReadAhead&) = delete;
    RodReadAhead& operator=(const RodReadAhead&) = delete;
    // Waits for a read in progress, then stops the thread.
    ~RodReadAhead();

    // Starts reading the next block of fd into buffer, which stays the
    // helper's until finish(); false when no thread can be made, and the
    // caller reads for itself.
    bool start(int fd, char* buffer, std::size_t size);

    // Waits for the read begun by start(); what rod_read_block returned.
    ssize_t finish();

  private:
    void read_blocks();

    std::mutex mutex_;
    std::condition_variable wake_;
    // The read asked for, handed to the thread and back under mutex_.
    int fd_ = -1;
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    bool asked_ = false;
    bool done_ = false;
    ssize_t result_ = 0;
    int error_ = 0;
    bool stopping_ = false;
    QuietThread thread_;
};
