#pragma once
// Helper threads that take no signal: the process's handlers (the one that
// removes a temporary report) expect to run on the main thread. Every helper
// thread of the tool starts here.

#include <pthread.h>

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

class QuietThread {
  public:
    QuietThread() = default;
    QuietThread(QuietThread&& other) noexcept { swap(other); }
    QuietThread& operator=(QuietThread&& other) noexcept;
    QuietThread(const QuietThread&) = delete;
    QuietThread& operator=(const QuietThread&) = delete;
    // A thread still running is joined: no helper outlives its owner.
    ~QuietThread() { join(); }

    // Runs body on a new thread with every signal blocked, on a stack of
    // stack_size bytes when it is not 0 (else the system's default). The
    // thread is not joinable when none could be made; body has then been
    // dropped, and the caller does the work itself.
    template <typename Body>
    static QuietThread start(Body&& body, std::size_t stack_size = 0);

    bool joinable() const { return running_; }
    void join();

  private:
    using Entry = void* (*)(void*);
    // Starts entry(argument) on a new thread; false when none could be made.
    bool start_entry(Entry entry, void* argument, std::size_t stack_size);
    void swap(QuietThread& other) noexcept;

    pthread_t thread_{};
    bool running_ = false;
};

template <typename Body>
QuietThread QuietThread::start(Body&& body, std::size_t stack_size) {
    using Owned = std::decay_t<Body>;
    QuietThread thread;
    std::unique_ptr<Owned> owned(new (std::nothrow) Owned(std::forward<Body>(body)));
    const Entry entry = [](void* argument) -> void* {
        const std::unique_ptr<Owned> mine(static_cast<Owned*>(argument));
        (*mine)();
        return nullptr;
    };
    if (owned && thread.start_entry(entry, owned.get(), stack_size)) {
        owned.release();  // the thread's own now
    }
    return thread;
}
