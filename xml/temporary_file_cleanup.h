#pragma once
// Removing the temporary file being written when a signal ends the process.
//
// On SIGINT, SIGTERM, SIGHUP and SIGQUIT the registered file is removed and
// the process then dies of the same signal, as it would have without the
// handler. Signals that were ignored when the first file was registered
// (SIGHUP under nohup, say) stay ignored. One file at most is registered at
// a time.
//
// The file is known by its folder's descriptor, its name there and what it
// is (device and inode): whatever another process has put at that name
// since is left alone, and so is a folder put where the old one was.

#include <signal.h>
#include <sys/stat.h>

// Registers the file named name in the folder dir_fd, which is the file
// described by file; installs the handlers on first use. The name and the
// descriptor must stay valid while the file is registered.
void register_temporary_file(int dir_fd, const char* name, const struct stat& file);

// Forgets the registered file. Call it inside a CleanupSignalsBlocked scope
// that also renames or removes the file, so that no signal can come between.
void unregister_temporary_file();

// Holds the cleanup signals back for the life of the object; a signal that
// arrives meanwhile is delivered when it ends.
class CleanupSignalsBlocked {
  public:
    CleanupSignalsBlocked();
    ~CleanupSignalsBlocked();
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

  private:
    sigset_t saved_;
};
