#pragma once
// Writing a large file from a second thread.
//
// A report of hundreds of megabytes spends a good part of its time in the
// kernel, copying pages into the page cache. A helper thread makes those
// write calls while the writer's thread goes on making the next buffer, on
// the other core. Small files never start the thread: their bytes are
// written at once, as they come.
//
// For a file that will be renamed over an existing one the thread also
// takes on two costs the rename would otherwise pay on the writer's thread,
// with hints that change nothing of what lands:
// - ext4 (auto_da_alloc) writes the new file back inside the rename, so
//   that a crash cannot leave an empty file where the old one was: the
//   thread starts the write-back of each chunk behind it instead
//   (sync_file_range without waiting);
// - the rename frees the old file, and with it every page of it still
//   cached, a tenth of a second for a large report: the thread lets those
//   pages go from the start (POSIX_FADV_DONTNEED), when none is dirty. The
//   file itself is left as it is, and read back from the disk should anyone
//   read it meanwhile.
//
// A failed write is kept and reported by the next call, with its errno;
// nothing after it is written.

#include "thread/quiet_thread.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

class WriteBehind {
  public:
    WriteBehind() = default;
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;
    ~WriteBehind();

    // Writes to fd from now on; fd must stay open until finish().
    // replacing: the file is to be renamed over an existing one, whose
    // descriptor replaced_fd is when it is at hand (else -1) and must stay
    // open until finish() too.
    void follow(int fd, bool replacing, int replaced_fd);

    // How many pieces may wait to be written at once: enough to ride out
    // the file system holding up a write for a few milliseconds.
    static constexpr std::size_t kPiecesAhead = 3;

    // Hands bytes over to be written behind the caller, once the file is
    // large; until then writes them at once. The bytes must stay as they
    // are until kPiecesAhead more pieces have been handed over, or wait()
    // or finish() returned. False, with errno set, when a write so far
    // failed.
    bool write_behind(std::string_view bytes);

    // Writes bytes before returning, after whatever was handed over.
    bool write(std::string_view bytes) { return write_behind(bytes) && wait(); }

    // Returns once everything handed over is written; false, with errno
    // set, when a write failed.
    bool wait();

    // Waits, then stops the thread. Call it before fd is closed; safe to
    // call twice. Returns what wait() does.
    bool finish();

  private:
    void write_pieces();
    bool write_now(std::string_view bytes);
    void hint_writeback(std::uint64_t size);
    bool start_thread();

    // Set before the thread starts, read by it.
    int fd_ = -1;
    bool replacing_ = false;
    int replaced_fd_ = -1;

    // The caller's alone.
    bool thread_failed_ = false;  // no thread could be made: write on without
    QuietThread thread_;

    // Shared with the thread under mutex_ once it runs, every one of them;
    // before, the caller's alone.
    std::mutex mutex_;
    std::condition_variable piece_handed_;  // wakes the thread
    std::condition_variable piece_done_;    // wakes the caller
    // Handed over and not yet written, oldest first from first_piece_; the
    // thread takes a piece off once it is written.
    std::string_view pieces_[kPiecesAhead];
    std::size_t first_piece_ = 0;
    std::size_t piece_count_ = 0;
    bool stopping_ = false;
    int error_ = 0;           // errno of the first failed write
    std::uint64_t size_ = 0;  // bytes written to the file so far

    // The thread's own: how far write-back was started.
    std::uint64_t handed_to_disk_ = 0;
};
