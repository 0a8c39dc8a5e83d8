#pragma once
// A file that replaces another one whole or not at all.
//
// The bytes go to a temporary file beside the target, named like it with
// ".tmp" appended, which commit() renames over the target. Until then the
// target is untouched, and a ReplacingFile that goes away uncommitted (or a
// signal that ends the process, see temporary_file_cleanup.h) removes the
// temporary file.
//
// The temporary name is a fixed one that other runs and other users may
// also use, so it is treated with suspicion: it is never opened through a
// symbolic link, never when it is a FIFO, a device, a directory or a file of
// another owner (such an entry is removed and the file created afresh,
// exclusively), and two writers of the same target take turns on it through
// an advisory lock, so that whatever lands is one writer's whole document.
//
// A target that is a character device, a FIFO or a socket (/dev/null,
// /dev/stdout) is written straight into instead: that is what a user naming
// it means. A directory or a block device is refused before anything is
// written.

#include "xml/write_behind.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

class ReplacingFile {
  public:
    enum class Failure {
        None,
        Open,    // failed_name() could not be opened or created
        Write,   // a write to failed_name() failed
        Rename,  // the temporary file could not be put in place of failed_name()
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
    // file it replaces (and its group, where this process may set it); a
    // new file has 0666 less the umask. False on failure: after a failed
    // write the target is left as it was and the temporary file removed;
    // after a failed rename the new file stays under the temporary name.
    bool commit();

    Failure failure() const { return failure_; }
    // The file a failure concerns: the temporary file or the target.
    const std::string& failed_name() const { return failed_name_; }
    // The errno of the call that failed; 0 when the target was refused
    // without a failing call (a directory, a block device).
    int error_number() const { return error_number_; }
    // Empty when the target is written straight into.
    const std::string& temporary_name() const { return temporary_; }

  private:
    bool open_direct();
    bool open_temporary();
    bool acquire_temporary();
    bool fail(Failure failure, const std::string& name);
    void discard();
    void open_replaced(const struct stat& looked_at);
    void close_replaced();
    const std::string& written_name() const;

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool replaces_existing_ = false;  // the target is a regular file to take modes from
    mode_t target_mode_ = 0;
    gid_t target_group_ = 0;
    bool owns_temporary_ = false;  // the temporary file is ours to remove
    int replaced_fd_ = -1;         // the file to be replaced, read-only
    WriteBehind writer_;
    Failure failure_ = Failure::None;
    std::string failed_name_;
    int error_number_ = 0;
};
