#pragma once
// Runs work(i) for every i below count on up to threads threads (0: one per
// core), the calling thread being one of them, with no lock: each thread
// takes the next index from one atomic counter, so the caller gives each
// index a result slot of its own. Returns once every index is done.

#include <functional>

void run_in_parallel(int count, int threads, const std::function<void(int)>& work);
