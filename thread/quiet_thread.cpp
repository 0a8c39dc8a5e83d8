#include "thread/quiet_thread.h"

#include <signal.h>

QuietThread& QuietThread::operator=(QuietThread&& other) noexcept {
    if (this != &other) {
        join();
        swap(other);
    }
    return *this;
}

void QuietThread::swap(QuietThread& other) noexcept {
    std::swap(thread_, other.thread_);
    std::swap(running_, other.running_);
}

bool QuietThread::start_entry(Entry entry, void* argument, std::size_t stack_size) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    if (stack_size != 0) {
        pthread_attr_setstacksize(&attributes, stack_size);
    }
    // The new thread inherits the mask in force when it is made.
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);
    running_ = pthread_create(&thread_, &attributes, entry, argument) == 0;
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    pthread_attr_destroy(&attributes);
    return running_;
}

void QuietThread::join() {
    if (running_) {
        pthread_join(thread_, nullptr);
        running_ = false;
    }
}
