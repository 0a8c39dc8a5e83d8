#include "xml/replacing_file.h"

#include "xml/temporary_file_cleanup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace {

// Attempts at taking the temporary name before giving up: each failed one
// means another process changed the entry between two of our steps.
constexpr int kMaxAttempts = 100;

constexpr mode_t kPermissionBits = 0777;

bool is_written_straight_into(mode_t mode) {
    return S_ISCHR(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

// A link made by this user or by the system (/dev/stdout) may be followed;
// one that another user planted is replaced like any other entry.
bool is_trusted_link(const struct stat& link) {
    return link.st_uid == 0 || link.st_uid == geteuid();
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An entry at the temporary name that may be reused after locking it: a
// plain file of ours with no other name (a hard link would let us truncate
// somebody's file through it).
bool is_reusable(const struct stat& entry) {
    return S_ISREG(entry.st_mode) && entry.st_uid == geteuid() && entry.st_nlink == 1;
}

// Removes whatever sits at path; false when it cannot be removed.
bool remove_entry(const std::string& path, const struct stat& entry) {
    const int result = S_ISDIR(entry.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
    return result == 0 || errno == ENOENT;
}

std::string canonical_path(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail(Failure failure, const std::string& name) {
    if (failure_ == Failure::None) {
        failure_ = failure;
        failed_name_ = name;
        error_number_ = errno;
    }
    return false;
}

bool ReplacingFile::open(std::string_view target) {
    errno = 0;  // a target refused without a failing call keeps error number 0
    target_.assign(target);
    if (target_.empty()) {
        return fail(Failure::Open, target_);
    }
    struct stat entry {};
    if (lstat(target_.c_str(), &entry) != 0) {
        return open_temporary();  // a new file (or a path that will not open)
    }
    if (S_ISLNK(entry.st_mode)) {
        struct stat final_file {};
        if (!is_trusted_link(entry) || stat(target_.c_str(), &final_file) != 0) {
            return open_temporary();  // the link itself is replaced
        }
        if (S_ISREG(final_file.st_mode)) {
            // The file the link leads to is replaced, beside itself.
            target_ = canonical_path(target_);
            if (target_.empty()) {
                return fail(Failure::Open, std::string(target));
            }
        }
        entry = final_file;
    }
    if (is_written_straight_into(entry.st_mode)) {
        return open_direct();
    }
    if (!S_ISREG(entry.st_mode)) {
        return fail(Failure::Open, target_);  // a directory or a block device
    }
    replaces_existing_ = true;
    target_mode_ = entry.st_mode & kPermissionBits;
    target_group_ = entry.st_gid;
    if (entry.st_nlink == 1) {
        open_replaced(entry);
    }
    return open_temporary();
}

// The file about to be replaced, read-only, so that its cached pages can be
// let go while the new one is written (see write_behind.h). Only a plain
// file that is still the one looked at, and has no other name.
void ReplacingFile::open_replaced(const struct stat& looked_at) {
    const int fd =
        ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened {};
    if (fd >= 0 && fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        same_file(opened, looked_at) && opened.st_nlink == 1) {
        replaced_fd_ = fd;
    } else if (fd >= 0) {
        ::close(fd);
    }
}

void ReplacingFile::close_replaced() {
    if (replaced_fd_ >= 0) {
        ::close(replaced_fd_);
        replaced_fd_ = -1;
    }
}

bool ReplacingFile::open_direct() {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        return fail(Failure::Open, target_);
    }
    writer_.follow(fd_, false, -1);
    return true;
}

bool ReplacingFile::open_temporary() {
    temporary_ = target_ + ".tmp";
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        if (acquire_temporary()) {
            register_temporary_file(temporary_.c_str());
            if (replaces_existing_) {
                // Created with the umask applied; the old file's bits exactly.
                fchmod(fd_, target_mode_);
                if (fchown(fd_, static_cast<uid_t>(-1), target_group_) != 0) {
                    // Not a member of that group: the new file keeps ours.
                }
            }
            writer_.follow(fd_, replaces_existing_, replaced_fd_);
            return true;
        }
        if (failure_ != Failure::None) {
            return false;
        }
    }
    return fail(Failure::Open, temporary_);
}

// One attempt at owning the temporary name: true when fd_ holds the locked
// file the name denotes; false with a failure set when the name cannot be
// had, false without one when another process got in the way.
bool ReplacingFile::acquire_temporary() {
    const mode_t creation_mode = replaces_existing_ ? target_mode_ : 0666;
    int fd = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    creation_mode);
    bool created = fd >= 0;
    if (!created) {
        if (errno != EEXIST) {
            return fail(Failure::Open, temporary_);
        }
        struct stat entry {};
        if (lstat(temporary_.c_str(), &entry) != 0) {
            return false;  // gone since: try again
        }
        if (!is_reusable(entry)) {
            return remove_entry(temporary_, entry) ? false : fail(Failure::Open, temporary_);
        }
        // Ours, and perhaps being written by another run of ours: wait for
        // its lock below, then take the name over when the file is stale.
        // Read-only is enough to wait for a lock, whatever modes it has.
        fd = ::open(temporary_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return errno == ENOENT ? false : fail(Failure::Open, temporary_);
        }
    }
    int result = 0;
    do {
        result = flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    struct stat locked {};
    struct stat named {};
    // The lock holds the file, not the name: the name may have been renamed
    // into place or replaced while we waited.
    const bool still_named = result == 0 && fstat(fd, &locked) == 0 &&
                             lstat(temporary_.c_str(), &named) == 0 && same_file(locked, named);
    if (!still_named) {
        ::close(fd);
        return false;
    }
    if (!created) {
        // Nobody writes a file whose lock we hold: a stale one from a run
        // that was killed. It goes, and the next attempt creates the file
        // afresh with the right modes.
        unlink(temporary_.c_str());
        ::close(fd);
        return false;
    }
    fd_ = fd;
    owns_temporary_ = true;
    return true;
}

bool ReplacingFile::write(std::string_view bytes) {
    if (failure_ != Failure::None || fd_ < 0) {
        return false;
    }
    return writer_.write(bytes) || fail(Failure::Write, written_name());
}

bool ReplacingFile::write_behind(std::string_view bytes) {
    if (failure_ != Failure::None || fd_ < 0) {
        return false;
    }
    return writer_.write_behind(bytes) || fail(Failure::Write, written_name());
}

bool ReplacingFile::wait_for_writes() {
    if (failure_ != Failure::None || fd_ < 0) {
        return false;
    }
    return writer_.wait() || fail(Failure::Write, written_name());
}

const std::string& ReplacingFile::written_name() const {
    return temporary_.empty() ? target_ : temporary_;
}

bool ReplacingFile::commit() {
    if (failure_ != Failure::None || fd_ < 0) {
        return false;
    }
    const bool written = writer_.finish();
    // Held across the rename, it would leave freeing the old file to us.
    close_replaced();
    if (!written) {
        return fail(Failure::Write, written_name());
    }
    if (temporary_.empty()) {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 || fail(Failure::Write, target_);
    }
    // Closing reports what writing back found (on NFS, say), but it would
    // also drop the lock, which must last until the rename: a second
    // descriptor of the same open file keeps it.
    const int lock_keeper = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    const int closed = ::close(fd_);
    fd_ = lock_keeper;
    if (closed != 0 || lock_keeper < 0) {
        return fail(Failure::Write, temporary_);
    }
    {
        const CleanupSignalsBlocked blocked;
        const bool renamed = ::rename(temporary_.c_str(), target_.c_str()) == 0;
        const int rename_error = errno;
        // Either way the file is no longer ours to remove: it is the target
        // now, or the new document kept under its temporary name for the
        // user to recover.
        unregister_temporary_file();
        owns_temporary_ = false;
        if (!renamed) {
            errno = rename_error;
            return fail(Failure::Rename, target_);
        }
    }
    ::close(fd_);
    fd_ = -1;
    return true;
}

void ReplacingFile::discard() {
    writer_.finish();
    close_replaced();
    if (owns_temporary_) {
        const CleanupSignalsBlocked blocked;
        unlink(temporary_.c_str());
        unregister_temporary_file();
        owns_temporary_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
