#include "rod/arena.h"

#include <cstdlib>
#include <new>

void RodArena::FreeBlock::operator()(std::byte* block) const {
    std::free(block);
}

std::byte* RodArena::new_block(std::size_t size) {
    // Huge-page sized chunks are aligned to a huge page, so that a kernel
    // that backs memory with huge pages by itself can do so. (Asking for them
    // with madvise made the kernel compact memory at fault time, which cost
    // more than the faults it saved.)
    const std::size_t align =
        size >= kLargestChunkSize ? kLargestChunkSize : alignof(std::max_align_t);
    const std::size_t rounded = (size + align - 1) / align * align;
    std::unique_ptr<std::byte, FreeBlock> block(
        static_cast<std::byte*>(std::aligned_alloc(align, rounded)));
    if (!block) {
        throw std::bad_alloc();
    }
    std::byte* result = block.get();
    chunks_.push_back(std::move(block));
    reserved_ += rounded;
    return result;
}

void* RodArena::allocate_slow(std::size_t size) {
    // Large requests get a block of their own so that the current chunk keeps
    // serving small ones.
    if (size > kLargestChunkSize / 4) {
        return new_block(size);
    }
    const std::size_t chunk_size = next_chunk_size_ >= size ? next_chunk_size_ : kLargestChunkSize;
    if (next_chunk_size_ < kLargestChunkSize) {
        next_chunk_size_ *= 2;
    }
    std::byte* result = new_block(chunk_size);
    cursor_ = result + size;
    left_ = chunk_size - size;
    return result;
}
