#pragma once
// Helper threads that take no signal: the process's handlers (the one that
// removes a temporary report) expect to run on the main thread.

#include <signal.h>

#include <exception>
#include <thread>
#include <utility>

// Runs body on a new thread with every signal blocked; the thread returned
// is not joinable when none could be made, and body has then been dropped.
template <typename Body>
std::thread rod_start_quiet_thread(Body&& body) {
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);
    std::thread thread;
    try {
        thread = std::thread(std::forward<Body>(body));
    } catch (const std::exception&) {
        // No thread: the caller does the work itself.
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    return thread;
}
