#include "xml/early_writeback.h"

#include <fcntl.h>
#include <signal.h>

namespace {

// Write-back is started a chunk at a time: large enough that the file system
// builds long extents and the thread wakes rarely, small enough that the
// rename finds at most one chunk still to hand over.
constexpr std::uint64_t kChunk = std::uint64_t{8} << 20;

// The thread only makes system calls that return at once or block in the
// block layer; a small stack keeps it out of the way of a memory limit.
constexpr std::size_t kThreadStack = std::size_t{64} << 10;

}  // namespace

EarlyWriteback::~EarlyWriteback() {
    finish();
}

void EarlyWriteback::follow(int fd) {
    finish();
    fd_ = fd;
    next_wake_ = kChunk;
    shared_written_ = 0;
    stopping_ = false;
}

void EarlyWriteback::written(std::uint64_t size) {
    if (fd_ < 0 || thread_failed_ || size < next_wake_) {
        return;
    }
    next_wake_ = (size / kChunk + 1) * kChunk;
    if (!thread_running_ && !start_thread()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        shared_written_ = size;
    }
    wake_.notify_one();
}

void EarlyWriteback::finish() {
    if (thread_running_) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        pthread_join(thread_, nullptr);
        thread_running_ = false;
    }
    fd_ = -1;
}

bool EarlyWriteback::start_thread() {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        thread_failed_ = true;
        return false;
    }
    pthread_attr_setstacksize(&attributes, kThreadStack);
    // Signals stay with the main thread: the handler that removes the
    // temporary file must not run while this thread still uses it, and the
    // main thread holds them back around the rename.
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);
    thread_running_ = pthread_create(&thread_, &attributes, &EarlyWriteback::run, this) == 0;
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    pthread_attr_destroy(&attributes);
    thread_failed_ = !thread_running_;
    return thread_running_;
}

void* EarlyWriteback::run(void* self) {
    static_cast<EarlyWriteback*>(self)->hand_over();
    return nullptr;
}

void EarlyWriteback::hand_over() {
    std::uint64_t handed = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || shared_written_ > handed; });
        if (stopping_) {
            return;
        }
        const std::uint64_t end = shared_written_;
        lock.unlock();
        // Only a hint: a failure here leaves the pages to the usual write-back.
        sync_file_range(fd_, static_cast<off64_t>(handed), static_cast<off64_t>(end - handed),
                        SYNC_FILE_RANGE_WRITE);
        handed = end;
        lock.lock();
    }
}
