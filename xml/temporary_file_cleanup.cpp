#include "xml/temporary_file_cleanup.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Read by the handler, so lock-free atomics rather than anything that may
// be caught half-written. The name is stored last and taken first: while it
// is set, the other three describe it.
std::atomic<int> registered_folder{-1};
std::atomic<dev_t> registered_device{0};
std::atomic<ino_t> registered_inode{0};
std::atomic<const char*> registered_name{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);
static_assert(std::atomic<dev_t>::is_always_lock_free);
static_assert(std::atomic<ino_t>::is_always_lock_free);

sigset_t cleanup_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal_number : kCleanupSignals) {
        sigaddset(&set, signal_number);
    }
    return set;
}

// Only async-signal-safe calls: fstatat and unlinkat, then the default
// action of the signal, which the process receives once the handler returns
// (the signal is blocked while the handler runs).
void remove_and_die(int signal_number) {
    const char* name = registered_name.exchange(nullptr);
    if (name != nullptr) {
        const int folder = registered_folder.load();
        struct stat entry {};
        if (fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
            entry.st_dev == registered_device.load() && entry.st_ino == registered_inode.load()) {
            unlinkat(folder, name, 0);
        }
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

void register_temporary_file(int dir_fd, const char* name, const struct stat& file) {
    static const bool installed = (install_handlers(), true);
    (void)installed;
    registered_folder.store(dir_fd);
    registered_device.store(file.st_dev);
    registered_inode.store(file.st_ino);
    registered_name.store(name);
}

void unregister_temporary_file() {
    registered_name.store(nullptr);
}

CleanupSignalsBlocked::CleanupSignalsBlocked() {
    const sigset_t set = cleanup_signal_set();
    sigprocmask(SIG_BLOCK, &set, &saved_);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() {
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
}
