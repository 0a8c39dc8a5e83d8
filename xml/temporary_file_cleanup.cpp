#include "xml/temporary_file_cleanup.h"

#include <unistd.h>

#include <atomic>

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Read by the handler, so a lock-free atomic rather than anything that may
// be caught half-written.
std::atomic<const char*> registered_path{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

sigset_t cleanup_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal_number : kCleanupSignals) {
        sigaddset(&set, signal_number);
    }
    return set;
}

// Only async-signal-safe calls: unlink, then the default action of the
// signal, which the process receives once the handler returns (the signal
// is blocked while the handler runs).
void remove_and_die(int signal_number) {
    const char* path = registered_path.exchange(nullptr);
    if (path != nullptr) {
        unlink(path);
    }
    signal(signal_number, SIG_DFL);
    raise(signal_number);
}

void install_handlers() {
    struct sigaction action {};
    action.sa_handler = remove_and_die;
    action.sa_mask = cleanup_signal_set();
    for (const int signal_number : kCleanupSignals) {
        struct sigaction previous {};
        if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal_number, &action, nullptr);
    }
}

}  // namespace

void register_temporary_file(const char* path) {
    static const bool installed = (install_handlers(), true);
    (void)installed;
    registered_path.store(path);
}

void unregister_temporary_file() {
    registered_path.store(nullptr);
}

CleanupSignalsBlocked::CleanupSignalsBlocked() {
    const sigset_t set = cleanup_signal_set();
    sigprocmask(SIG_BLOCK, &set, &saved_);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() {
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
}
