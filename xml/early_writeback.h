#pragma once
// Starting the write-back of a large new file behind its writer.
//
// When a file is renamed over an existing one, ext4 (auto_da_alloc) writes
// the new file's pages back inside the rename, on the renaming thread, so
// that a crash cannot leave an empty file where the old one was. For a
// report of hundreds of megabytes that is a tenth of a second or more spent
// after the last byte is written. A helper thread hands the pages to the
// disk as they are written instead, on the other core, and the rename finds
// little left to do. It only starts write-back (sync_file_range without
// waiting), so it changes neither what lands nor when a failure shows.

#include <pthread.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>

class EarlyWriteback {
  public:
    EarlyWriteback() = default;
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;
    ~EarlyWriteback();

    // Follows the regular file fd from now on; fd must stay open until
    // finish(). Small files never start the thread.
    void follow(int fd);

    // The file now holds size bytes, all written.
    void written(std::uint64_t size);

    // Stops the thread, leaving whatever was not handed over to the file
    // system. Call it before fd is closed; safe to call twice.
    void finish();

  private:
    static void* run(void* self);
    void hand_over();
    bool start_thread();

    int fd_ = -1;
    std::uint64_t next_wake_ = 0;  // the file size that wakes the thread next
    bool thread_running_ = false;
    bool thread_failed_ = false;  // no thread could be made: write on without
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t shared_written_ = 0;  // the file size as the thread sees it
    bool stopping_ = false;
    pthread_t thread_{};
};
