#include "rod/populated_chunks.h"

#include "thread/quiet_thread.h"

#include <sys/mman.h>

PopulatedChunks::~PopulatedChunks() {
    stop();
}

void PopulatedChunks::stop() {
    no_helper_ = true;
    if (helper_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        chunk_taken_.notify_one();
        helper_.join();
    }
    if (ready_) {
        munmap(ready_, chunk_size_);
        ready_ = nullptr;
    }
}

void* PopulatedChunks::take() {
    if (!helper_.joinable() && !no_helper_) {
        helper_ = QuietThread::start([this] { populate_ahead(); });
        no_helper_ = !helper_.joinable();  // the reader maps its own chunks
        return nullptr;                    // the first chunk is the reader's to map
    }
    void* chunk = nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        chunk = ready_;
        ready_ = nullptr;
    }
    if (chunk) {
        chunk_taken_.notify_one();
    }
    return chunk;
}

void PopulatedChunks::populate_ahead() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        chunk_taken_.wait(lock, [&] { return stopping_ || !ready_; });
        if (stopping_) {
            return;
        }
        lock.unlock();
        void* chunk = mmap(nullptr, chunk_size_, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (chunk == MAP_FAILED) {
            return;  // near a memory limit: the reader finds out for itself
        }
        lock.lock();
        ready_ = chunk;
    }
}
