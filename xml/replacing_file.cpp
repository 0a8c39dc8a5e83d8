#include "xml/replacing_file.h"

#include "xml/report_place.h"
#include "xml/temporary_file_cleanup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Attempts at taking the temporary name before giving up: each failed one
// means another process changed the entry between two of our steps.
constexpr int kMaxAttempts = 100;

constexpr mode_t kPermissionBits = 0777;

bool is_written_straight_into(mode_t mode) {
    return S_ISCHR(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

// Opens the folder of path and looks at the entry path names in it; entry
// is valid when entry_error is 0.
bool ReplacingFile::open_folder(const std::string& path, struct stat& entry, int& entry_error) {
    close_folder();
    PathParts parts = split_path(path);
    folder_ = std::move(parts.folder);
    name_ = std::move(parts.base);
    folder_fd_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd_ < 0) {
        return fail(Failure::Open, folder_ + temporary_name(name_));
    }
    entry_error = fstatat(folder_fd_, name_.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    return true;
}

bool ReplacingFile::open(std::string_view target) {
    errno = 0;  // a target refused without a failing call keeps error number 0
    target_.assign(target);
    if (target_.empty()) {
        return fail(Failure::Open, target_);
    }
    struct stat entry {};
    int entry_error = 0;
    if (!open_folder(target_, entry, entry_error)) {
        return false;
    }
    if (entry_error == 0 && S_ISLNK(entry.st_mode)) {
        const ReportPlace place = report_place(target_);
        if (place.descriptor >= 0) {
            close_folder();
            return open_descriptor(place.descriptor);
        }
        if (place.path != target_ && !open_folder(place.path, entry, entry_error)) {
            return false;
        }
    }
    if (entry_error != 0 || S_ISLNK(entry.st_mode)) {
        // A new file, or a link that is replaced itself; or a path that
        // will not open, which the temporary file says.
        return open_temporary();
    }
    if (is_written_straight_into(entry.st_mode)) {
        return open_direct();
    }
    if (!S_ISREG(entry.st_mode)) {
        errno = 0;
        return fail(Failure::Open, target_);  // a directory or a block device
    }
    replaces_existing_ = true;
    target_mode_ = entry.st_mode & kPermissionBits;
    target_owner_ = entry.st_uid;
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
    const int fd = openat(folder_fd_, name_.c_str(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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

void ReplacingFile::close_folder() {
    if (folder_fd_ >= 0) {
        ::close(folder_fd_);
        folder_fd_ = -1;
    }
}

// Written through the process's own descriptor, at its offset: a standard
// output appended to a file stays that file, and is appended to.
bool ReplacingFile::open_descriptor(int descriptor) {
    fd_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) {
        return fail(Failure::Open, target_);
    }
    writer_.follow(fd_, false, -1);
    return true;
}

bool ReplacingFile::open_direct() {
    fd_ = openat(folder_fd_, name_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    close_folder();
    if (fd_ < 0) {
        return fail(Failure::Open, target_);
    }
    writer_.follow(fd_, false, -1);
    return true;
}

bool ReplacingFile::open_temporary() {
    temporary_ = temporary_name(name_);
    temporary_path_ = folder_ + temporary_;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        if (acquire_temporary()) {
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
    return fail(Failure::Open, temporary_path_);
}

bool ReplacingFile::still_named(const struct stat& file) const {
    struct stat named {};
    return fstatat(folder_fd_, temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           same_file(file, named);
}

// Waits for the lock of fd. False with a failure set when a file found at
// the temporary name cannot be locked; false without one when the lock
// call failed otherwise (try again). Where the file system has no locks,
// a file we created goes on without one.
bool ReplacingFile::lock(int fd, bool created) {
    int result = 0;
    do {
        result = flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return true;
    }
    if (errno != ENOLCK) {
        return false;
    }
    if (!created) {
        // Without a lock nothing tells a stale file from a busy one.
        return fail(Failure::Busy, temporary_path_);
    }
    unlocked_ = true;
    return true;
}

// One attempt at owning the temporary name: true when fd_ holds the locked
// file the name denotes; false with a failure set when the name cannot be
// had, false without one when another process got in the way.
bool ReplacingFile::acquire_temporary() {
    const mode_t creation_mode = replaces_existing_ ? target_mode_ : 0666;
    int fd = -1;
    {
        // Registered as soon as it exists: a signal from then on removes it.
        const CleanupSignalsBlocked blocked;
        fd = openat(folder_fd_, temporary_.c_str(),
                    O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, creation_mode);
        struct stat made {};
        if (fd >= 0 && fstat(fd, &made) == 0) {
            register_temporary_file(folder_fd_, temporary_.c_str(), made);
        }
    }
    const bool created = fd >= 0;
    if (!created) {
        if (errno != EEXIST) {
            return fail(Failure::Open, temporary_path_);
        }
        struct stat entry {};
        if (fstatat(folder_fd_, temporary_.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;  // gone since: try again
        }
        if (!S_ISREG(entry.st_mode)) {
            // No writer of ours makes anything else here: a squatter.
            const int removed =
                unlinkat(folder_fd_, temporary_.c_str(), S_ISDIR(entry.st_mode) ? AT_REMOVEDIR : 0);
            return removed == 0 || errno == ENOENT ? false : fail(Failure::Open, temporary_path_);
        }
        // A plain file, perhaps being written by another run, ours or
        // another user's: wait for its lock below, then take the name over
        // when the file is stale. Read-only is enough to wait for a lock.
        fd = openat(folder_fd_, temporary_.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) {
                return false;
            }
            return fail(errno == EACCES || errno == EPERM ? Failure::Busy : Failure::Open,
                        temporary_path_);
        }
    }
    struct stat locked {};
    // The lock holds the file, not the name: the name may have been renamed
    // into place or replaced while we waited.
    const bool held = lock(fd, created) && fstat(fd, &locked) == 0 && still_named(locked);
    if (!held) {
        if (created) {
            const CleanupSignalsBlocked blocked;
            unregister_temporary_file();
        }
        ::close(fd);
        return false;
    }
    if (!created) {
        // Nobody writes a file whose lock we hold: a stale one from a run
        // that was killed. It goes, and the next attempt creates the file
        // afresh with the right modes. One we may not remove (another
        // user's, in a sticky folder) will not go by trying again.
        const bool removed = unlinkat(folder_fd_, temporary_.c_str(), 0) == 0 || errno == ENOENT;
        ::close(fd);
        return removed ? false : fail(Failure::Open, temporary_path_);
    }
    fd_ = fd;
    written_ = locked;
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
    return temporary_.empty() ? target_ : temporary_path_;
}

bool ReplacingFile::commit(const std::function<void()>& landed) {
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
        if (result != 0) {
            return fail(Failure::Write, target_);
        }
        if (landed) {
            landed();
        }
        return true;
    }
    // Closing reports what writing back found (on NFS, say), but it would
    // also drop the lock, which must last until the rename: a second
    // descriptor of the same open file keeps it.
    const int lock_keeper = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    const int closed = ::close(fd_);
    fd_ = lock_keeper;
    if (closed != 0 || lock_keeper < 0) {
        return fail(Failure::Write, temporary_path_);
    }
    if (replaces_existing_ && target_owner_ != 0 && geteuid() == 0) {
        // Root replacing another user's report gives it back to that user;
        // only now, so that the user cannot write into it before it is done.
        if (fchown(fd_, target_owner_, static_cast<uid_t>(-1)) == 0) {
            fchmod(fd_, target_mode_);
        }
    }
    {
        const CleanupSignalsBlocked blocked;
        errno = 0;
        if (!still_named(written_)) {
            // Somebody moved our file away, or put another in its place:
            // what the name denotes now is not ours to rename, nor to remove.
            const int displaced_error = errno == 0 ? EEXIST : errno;
            unregister_temporary_file();
            owns_temporary_ = false;
            errno = displaced_error;
            return fail(Failure::Displaced, temporary_path_);
        }
        const bool renamed =
            renameat(folder_fd_, temporary_.c_str(), folder_fd_, name_.c_str()) == 0;
        const int rename_error = errno;
        // Either way the file is no longer ours to remove: it is the target
        // now, or the new document kept under its temporary name for the
        // user to recover.
        unregister_temporary_file();
        owns_temporary_ = false;
        if (!renamed) {
            errno = rename_error;
            return fail(Failure::Rename, temporary_path_);
        }
        if (landed) {
            landed();
        }
    }
    ::close(fd_);
    fd_ = -1;
    close_folder();
    return true;
}

void ReplacingFile::discard() {
    writer_.finish();
    close_replaced();
    if (owns_temporary_) {
        const CleanupSignalsBlocked blocked;
        if (still_named(written_)) {
            unlinkat(folder_fd_, temporary_.c_str(), 0);
        }
        unregister_temporary_file();
        owns_temporary_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    close_folder();
}
