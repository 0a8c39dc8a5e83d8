#include "rod/read_ahead.h"

#include "thread/quiet_thread.h"

#include <unistd.h>

#include <cerrno>

ssize_t rod_read_block(int fd, char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t count = ::read(fd, buffer + filled, size - filled);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    return static_cast<ssize_t>(filled);
}

RodReadAhead::~RodReadAhead() {
    if (thread_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
}

bool RodReadAhead::start(int fd, char* buffer, std::size_t size) {
    if (!thread_.joinable()) {
        thread_ = QuietThread::start([this] { read_blocks(); });
        if (!thread_.joinable()) {
            return false;
        }
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        fd_ = fd;
        buffer_ = buffer;
        size_ = size;
        asked_ = true;
        done_ = false;
    }
    wake_.notify_all();
    return true;
}

ssize_t RodReadAhead::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [&] { return done_; });
    done_ = false;
    errno = error_;
    return result_;
}

void RodReadAhead::read_blocks() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || asked_; });
        if (!asked_) {
            return;  // stopping, with no read in progress
        }
        asked_ = false;
        const int fd = fd_;
        char* buffer = buffer_;
        const std::size_t size = size_;
        lock.unlock();
        const ssize_t result = rod_read_block(fd, buffer, size);
        const int error = result < 0 ? errno : 0;
        lock.lock();
        result_ = result;
        error_ = error;
        done_ = true;
        wake_.notify_all();
    }
}
