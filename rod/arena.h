#pragma once
// A bump allocator for the nodes and texts of one result tree: many small
// allocations, released all at once with the tree.

#include <cstddef>
#include <memory>
#include <vector>

class RodArena {
public:
    RodArena() = default;
    RodArena(const RodArena&) = delete;
    RodArena& operator=(const RodArena&) = delete;

    // Uninitialised memory of size bytes aligned for align (a power of two,
    // at most alignof(std::max_align_t)); throws std::bad_alloc when memory
    // runs out.
    void* allocate(std::size_t size, std::size_t align);

    // Bytes obtained from the system so far.
    std::size_t reserved_bytes() const { return reserved_; }

private:
    static constexpr std::size_t kChunkSize = 256 * 1024;

    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t reserved_ = 0;
};
