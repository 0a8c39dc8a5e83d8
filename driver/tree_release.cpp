#include "driver/tree_release.h"

#include <signal.h>

#include <exception>

void TreeRelease::start(RodTree tree) {
    wait();
    // Signals stay with the run's thread, whose handlers expect them.
    sigset_t all;
    sigset_t saved;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved);
    try {
        thread_ = std::thread([freed = std::move(tree)]() mutable { freed.reset(); });
    } catch (const std::exception&) {
        // No thread: the tree went with the call's lambda, freed here.
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

void TreeRelease::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}
