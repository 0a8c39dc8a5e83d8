#include "rod/tree_release.h"

#include "thread/quiet_thread.h"

void TreeRelease::start(RodTree tree) {
    wait();
    // Without a thread the tree went with the dropped lambda: freed here.
    thread_ = QuietThread::start([freed = std::move(tree)]() mutable { freed.reset(); });
}

void TreeRelease::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}
