#pragma once
// A file that replaces another one whole or not at all.
//
// The bytes go to a temporary file beside the target, named like it with
// ".tmp" appended (shortened where that would make too long a name, see
// report_place.h), which commit() renames over the target. Until then the
// target is untouched, and a ReplacingFile that goes away uncommitted (or a
// signal that ends the process, see temporary_file_cleanup.h) removes the
// temporary file.
//
// The target's folder is opened once, and every later step works relative
// to it: a folder moved or replaced meanwhile changes nothing of where the
// file goes. The temporary name is a fixed one that other runs and other
// users may also use, so it is treated with suspicion: it is never opened
// through a symbolic link, never when it is a FIFO, a device or a
// directory (such an entry is removed and the file created afresh,
// exclusively). A plain file there may be another writer's, busy: it is
// removed only once its advisory lock is ours (so it is stale), and left
// in place when it cannot be locked. Writers of the same target take turns
// on that lock, so whatever lands is one writer's whole document, and
// nothing is renamed into place unless the temporary name still denotes
// the file locked and written.
//
// A target that is a character device, a FIFO or a socket (/dev/null) is
// written straight into instead, and so is one that names a descriptor of
// the process (/dev/stdout, /dev/fd/N): that is what a user naming it
// means. A directory or a block device is refused before anything is
// written. A link at the target is followed only when every link of its
// chain is trusted (see report_place.h).

#include "xml/write_behind.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

class ReplacingFile {
  public:
    enum class Failure {
        None,
        Open,       // failed_name() could not be opened or created
        Write,      // a write to failed_name() failed
        Rename,     // the temporary file failed_name() could not be put in place
        Busy,       // failed_name() may be another writer's file and cannot be locked
        Displaced,  // failed_name() no longer denoted the file written at commit
    };

    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Opens the file that is to replace target; false on failure.
    bool open(std::string_view target);

    // Writes every byte; false when this or an earlier write failed.
    bool write(std::string_view bytes);

    // Hands bytes over to be written while the caller goes on; they must
    // stay as they are until kPiecesAhead more pieces have been handed over
    // or wait_for_writes() returned (see write_behind.h). False when an
    // earlier write failed.
    static constexpr std::size_t kPiecesAhead = WriteBehind::kPiecesAhead;
    bool write_behind(std::string_view bytes);

    // Returns once every byte handed over is written; false when a write
    // failed.
    bool wait_for_writes();

    // Puts the file in place. The new file takes the permission bits of the
    // file it replaces (and its group, where this process may set it, and
    // its owner, when this process is root); a new file has 0666 less the
    // umask. False on failure: after a failed write the target is left as
    // it was and the temporary file removed; after a failed rename the new
    // file stays under the temporary name. landed, when given, is called
    // once the file is in place, with the cleanup signals still held back,
    // so that no signal comes between the two.
    bool commit(const std::function<void()>& landed = {});

    Failure failure() const { return failure_; }
    // The file a failure concerns: the temporary file or the target.
    const std::string& failed_name() const { return failed_name_; }
    // The errno of the call that failed; 0 when the target was refused
    // without a failing call (a directory, a block device).
    int error_number() const { return error_number_; }
    // True when the file system gave no lock for the temporary file
    // (ENOLCK: NFS mounted without a lock manager): it was written without
    // one, and writers of the same target do not take turns there.
    bool written_unlocked() const { return unlocked_; }

  private:
    bool open_folder(const std::string& path, struct stat& entry, int& entry_error);
    bool open_descriptor(int descriptor);
    bool open_direct();
    bool open_temporary();
    bool acquire_temporary();
    bool lock(int fd, bool created);
    bool still_named(const struct stat& file) const;
    bool fail(Failure failure, const std::string& name);
    void discard();
    void close_folder();
    void open_replaced(const struct stat& looked_at);
    void close_replaced();
    const std::string& written_name() const;

    std::string target_;          // as given
    int folder_fd_ = -1;          // the folder of the file written, opened once
    std::string folder_;          // its path as given, for messages ("" or ending in '/')
    std::string name_;            // the file written, in that folder
    std::string temporary_;       // the temporary file there; empty when written straight into
    std::string temporary_path_;  // folder_ + temporary_, for messages
    int fd_ = -1;
    struct stat written_ {};  // the temporary file as created and locked
    bool unlocked_ = false;
    bool replaces_existing_ = false;  // the target is a regular file to take modes from
    mode_t target_mode_ = 0;
    uid_t target_owner_ = 0;
    gid_t target_group_ = 0;
    bool owns_temporary_ = false;  // the temporary file is ours to remove
    int replaced_fd_ = -1;         // the file to be replaced, read-only
    WriteBehind writer_;
    Failure failure_ = Failure::None;
    std::string failed_name_;
    int error_number_ = 0;
};
