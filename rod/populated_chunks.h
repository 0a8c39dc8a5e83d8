#pragma once
// Memory for a large tree, made ready on a second thread.
//
// The kernel spends a good part of reading a large file zeroing and mapping
// the pages of the tree: a page fault, or a populated mapping, costs about
// as much per byte as reading the file. A helper thread keeps the next chunk
// mapped and populated while the reader fills the current one, on the other
// core. The helper never makes the reader wait: when it is behind, or has
// failed, the reader maps a chunk itself.

#include "thread/quiet_thread.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>

class PopulatedChunks {
  public:
    // Chunks of chunk_size bytes; nothing runs until the first take().
    explicit PopulatedChunks(std::size_t chunk_size) : chunk_size_(chunk_size) {}
    PopulatedChunks(const PopulatedChunks&) = delete;
    PopulatedChunks& operator=(const PopulatedChunks&) = delete;
    ~PopulatedChunks();

    // A chunk mapped and populated by the helper, which the caller now owns
    // (munmap of chunk_size bytes); null when none is ready.
    void* take();

    // Stops the helper for good and unmaps a chunk it made that was not
    // taken; take() returns null from then on.
    void stop();

  private:
    void populate_ahead();

    const std::size_t chunk_size_;
    std::mutex mutex_;
    std::condition_variable chunk_taken_;
    void* ready_ = nullptr;
    bool stopping_ = false;
    bool no_helper_ = false;  // stopped, or no thread could be made
    QuietThread helper_;
};
