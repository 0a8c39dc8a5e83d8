#include "campaign/parallel.h"

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
    std::vector<std::jthread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.emplace_back(take);
    }
    take();
}  // the jthreads join here
