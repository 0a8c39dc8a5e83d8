#pragma once
// Freeing a tree on a second thread.
//
// A large tree goes back to the system page by page, some tens of
// milliseconds for a campaign of 100 MB. Once its report is complete the
// run no longer reads it, while the rename that puts the report in place
// may still wait for the disk: the tree is freed meanwhile, on the other
// core.

#include "rod/rod.h"
#include "thread/quiet_thread.h"

class TreeRelease {
  public:
    TreeRelease() = default;
    TreeRelease(const TreeRelease&) = delete;
    TreeRelease& operator=(const TreeRelease&) = delete;
    ~TreeRelease() { wait(); }

    // Frees tree on a thread of its own, or here when no thread can be made.
    void start(RodTree tree);

    // Returns once the tree is freed.
    void wait();

  private:
    QuietThread thread_;
};
