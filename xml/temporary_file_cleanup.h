#pragma once
// Removing the temporary file being written when a signal ends the process.
//
// On SIGINT, SIGTERM, SIGHUP and SIGQUIT the registered file is removed and
// the process then dies of the same signal, as it would have without the
// handler. Signals that were ignored when the first file was registered
// (SIGHUP under nohup, say) stay ignored. One file at most is registered at
// a time; the path must stay valid while it is.

#include <signal.h>

// Registers path, installing the handlers on first use.
void register_temporary_file(const char* path);

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
