#include "xml/write_behind.h"

#include "xml/page_cache.h"

#include <fcntl.h>
#include <signal.h>
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
    if (!thread_running_) {
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
    if (thread_running_) {
        std::unique_lock<std::mutex> lock(mutex_);
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
    if (thread_running_) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        piece_handed_.notify_one();
        pthread_join(thread_, nullptr);
        thread_running_ = false;
    }
    fd_ = -1;
    replaced_fd_ = -1;
    errno = saved_errno;
    return written;
}

// Every byte or the errno of the call that failed; before the thread runs
// the caller's, after it the thread's.
bool WriteBehind::write_now(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        size_ += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool WriteBehind::start_thread() {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        thread_failed_ = true;
        return false;
    }
    pthread_attr_setstacksize(&attributes, kThreadStack);
    // Signals stay with the caller's thread: the handler that removes the
    // temporary file must not run on this one, and the caller holds them
    // back around the rename.
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);
    thread_running_ = pthread_create(&thread_, &attributes, &WriteBehind::run, this) == 0;
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    pthread_attr_destroy(&attributes);
    thread_failed_ = !thread_running_;
    return thread_running_;
}

void* WriteBehind::run(void* self) {
    static_cast<WriteBehind*>(self)->write_pieces();
    return nullptr;
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
        lock.unlock();
        const bool written = error_ == 0 && write_now(piece);
        lock.lock();
        first_piece_ = (first_piece_ + 1) % kPiecesAhead;
        --piece_count_;
        piece_done_.notify_one();
        if (written && replacing_ && size_ - handed_to_disk_ >= kWritebackChunk) {
            // The caller may fill its next buffer meanwhile.
            lock.unlock();
            hint_writeback();
            lock.lock();
        }
    }
}

void WriteBehind::hint_writeback() {
    const std::uint64_t end = size_ - size_ % kWritebackChunk;
    // A failure leaves the pages to the usual write-back.
    sync_file_range(fd_, static_cast<off64_t>(handed_to_disk_),
                    static_cast<off64_t>(end - handed_to_disk_), SYNC_FILE_RANGE_WRITE);
    handed_to_disk_ = end;
}
