#include "xml/write_behind.h"

#include "xml/page_cache.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Files are written at once until they reach this size: two buffers of the
// stream, so that no small report pays for a thread.
constexpr std::uint64_t kThreadStart = std::uint64_t{1} << 20;

// Write-back is started a chunk at a time: large enough that the file system
// builds long extents, small enough that the rename finds at most one chunk
// still to hand over.
constexpr std::uint64_t kWritebackChunk = std::uint64_t{8} << 20;

// The thread only makes system calls; a small stack keeps it out of the way
// of a memory limit.
constexpr std::size_t kThreadStack = std::size_t{64} << 10;

// Lets the cached pages of the file about to be replaced go now, rather than
// in the rename. Not when some are dirty (a report written moments ago as a
// new file): dropping them would first write back to the disk pages that
// are about to be freed, which the rename simply discards.
void let_go_of_cached_pages(int fd) {
    const std::optional<PageCacheState> cache = page_cache_state(fd);
    if (cache && cache->cached > 0 && cache->dirty == 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    }
}

// Writes every byte to fd, adding what it wrote to written; 0, or the errno
// of the call that failed.
int write_all(int fd, std::string_view bytes, std::uint64_t& written) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
        written += static_cast<std::uint64_t>(count);
    }
    return 0;
}

}  // namespace

WriteBehind::~WriteBehind() {
    finish();
}

void WriteBehind::follow(int fd, bool replacing, int replaced_fd) {
    finish();
    fd_ = fd;
    replacing_ = replacing;
    replaced_fd_ = replaced_fd;
    first_piece_ = 0;
    piece_count_ = 0;
    stopping_ = false;
    error_ = 0;
    size_ = 0;
    handed_to_disk_ = 0;
}

bool WriteBehind::write_behind(std::string_view bytes) {
    if (!thread_.joinable()) {
        if (error_ != 0) {
            errno = error_;
            return false;
        }
        if (size_ + bytes.size() < kThreadStart || thread_failed_ || !start_thread()) {
            return write_now(bytes);
        }
    }
    if (bytes.empty()) {
        return wait();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    piece_done_.wait(lock, [&] { return piece_count_ < kPiecesAhead; });
    if (error_ != 0) {
        errno = error_;
        return false;
    }
    pieces_[(first_piece_ + piece_count_) % kPiecesAhead] = bytes;
    ++piece_count_;
    lock.unlock();
    piece_handed_.notify_one();
    return true;
}

bool WriteBehind::wait() {
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    if (thread_.joinable()) {
        lock.lock();
        piece_done_.wait(lock, [&] { return piece_count_ == 0; });
    }
    if (error_ != 0) {
        errno = error_;
        return false;
    }
    return true;
}

bool WriteBehind::finish() {
    const bool written = wait();
    const int saved_errno = errno;
    if (thread_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        piece_handed_.notify_one();
        thread_.join();
    }
    fd_ = -1;
    replaced_fd_ = -1;
    errno = saved_errno;
    return written;
}

// Before the thread runs: the caller's own.
bool WriteBehind::write_now(std::string_view bytes) {
    error_ = write_all(fd_, bytes, size_);
    return error_ == 0;
}

bool WriteBehind::start_thread() {
    // Signals stay with the caller's thread: the handler that removes the
    // temporary file must not run on this one, and the caller holds them
    // back around the rename.
    thread_ = QuietThread::start([this] { write_pieces(); }, kThreadStack);
    thread_failed_ = !thread_.joinable();
    return thread_.joinable();
}

void WriteBehind::write_pieces() {
    if (replaced_fd_ >= 0) {
        let_go_of_cached_pages(replaced_fd_);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        piece_handed_.wait(lock, [&] { return stopping_ || piece_count_ > 0; });
        if (piece_count_ == 0) {
            return;  // stopping, with nothing left
        }
        const std::string_view piece = pieces_[first_piece_];
        // Nothing after a failed write is written.
        const bool failed_before = error_ != 0;
        std::uint64_t size = size_;
        lock.unlock();
        const int error = failed_before ? 0 : write_all(fd_, piece, size);
        lock.lock();
        if (!failed_before) {
            error_ = error;
            size_ = size;
        }
        first_piece_ = (first_piece_ + 1) % kPiecesAhead;
        --piece_count_;
        piece_done_.notify_one();
        if (error_ == 0 && replacing_ && size - handed_to_disk_ >= kWritebackChunk) {
            // The caller may fill its next buffer meanwhile.
            lock.unlock();
            hint_writeback(size);
            lock.lock();
        }
    }
}

void WriteBehind::hint_writeback(std::uint64_t size) {
    const std::uint64_t end = size - size % kWritebackChunk;
    // A failure leaves the pages to the usual write-back.
    sync_file_range(fd_, static_cast<off64_t>(handed_to_disk_),
                    static_cast<off64_t>(end - handed_to_disk_), SYNC_FILE_RANGE_WRITE);
    handed_to_disk_ = end;
}
