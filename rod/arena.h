#pragma once
// A bump allocator for the nodes and texts of one result tree: many small
// allocations, released all at once with the tree.

#include "rod/populated_chunks.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class RodArena {
  public:
    RodArena() = default;
    RodArena(const RodArena&) = delete;
    RodArena& operator=(const RodArena&) = delete;

    // Uninitialised memory of size bytes aligned for align (a power of two,
    // at most alignof(std::max_align_t)); throws std::bad_alloc when memory
    // runs out.
    void* allocate(std::size_t size, std::size_t align) {
        const std::size_t padding = (0 - reinterpret_cast<std::uintptr_t>(cursor_)) & (align - 1);
        if (padding + size <= left_) {
            std::byte* result = cursor_ + padding;
            cursor_ = result + size;
            left_ -= padding + size;
            return result;
        }
        return allocate_slow(size);
    }

    // Says that the tree is complete: memory made ready ahead of the reader
    // goes back to the system. Later allocations still succeed.
    void finish_growing() { populated_.stop(); }

    // Bytes obtained from the system so far.
    std::size_t reserved_bytes() const { return reserved_; }

    // Whether an allocation has ever failed. Stays set: the tree code turns
    // a failure into an absent node or text, and the reader asks here
    // whether the tree still holds everything the file said.
    bool exhausted() const { return exhausted_; }

  private:
    // Chunks start small, for small files, and double up to 2 MiB; from
    // there on memory is mapped and populated 2 MiB at a time rather than
    // faulted in page by page, by a helper thread as far as it keeps up.
    static constexpr std::size_t kFirstChunkSize = 64 * 1024;
    static constexpr std::size_t kLargestChunkSize = 2 * 1024 * 1024;

    // A block from the system: mapped (and populated in one go) for chunks of
    // the largest size, from the heap for smaller ones.
    struct Block {
        std::byte* data = nullptr;
        std::size_t size = 0;
        bool mapped = false;
        Block() = default;
        Block(std::byte* d, std::size_t s, bool m) : data(d), size(s), mapped(m) {}
        Block(Block&& other) noexcept
            : data(std::exchange(other.data, nullptr)), size(other.size), mapped(other.mapped) {}
        Block& operator=(Block&&) = delete;
        ~Block();
    };

    // A new chunk (or a block of its own for a large request); chunks are
    // aligned for any type.
    void* allocate_slow(std::size_t size);
    std::byte* new_block(std::size_t size);

    std::vector<Block> chunks_;
    PopulatedChunks populated_{kLargestChunkSize};
    std::size_t next_chunk_size_ = kFirstChunkSize;
    std::byte* cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t reserved_ = 0;
    bool exhausted_ = false;
};
