#include "campaign/parallel.h"

#include "thread/quiet_thread.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void run_in_parallel(int count, int threads, const std::function<void(int)>& work) {
    if (threads <= 0) {
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    threads = std::max(1, std::min(threads, count));
    std::atomic<int> next{0};
    const auto take = [&] {
        for (int i = next++; i < count; i = next++) {
            work(i);
        }
    };
    // Started as every helper thread of the project is; a thread that cannot
    // be made leaves its share to the others.
    std::vector<QuietThread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.push_back(QuietThread::start(take));
    }
    take();
}  // the threads join here
