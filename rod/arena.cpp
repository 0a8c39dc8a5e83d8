#include "rod/arena.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

RodArena::Block::~Block() {
    if (!data) {
        return;
    }
    if (mapped) {
        munmap(data, size);
    } else {
        std::free(data);
    }
}

std::byte* RodArena::new_block(std::size_t size) {
    // Room first, so that recording the block cannot fail once it is taken.
    if (chunks_.size() == chunks_.capacity()) {
        chunks_.reserve(chunks_.capacity() < 16 ? 16 : 2 * chunks_.capacity());
    }
    if (size >= kLargestChunkSize) {
        void* block = size == kLargestChunkSize ? populated_.take() : nullptr;
        if (!block) {
            // Populated at once: one call instead of a page fault per 4 KiB.
            block = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        }
        if (block == MAP_FAILED) {
            throw std::bad_alloc();
        }
        chunks_.emplace_back(static_cast<std::byte*>(block), size, true);
    } else {
        auto* block = static_cast<std::byte*>(std::malloc(size));
        if (!block) {
            throw std::bad_alloc();
        }
        chunks_.emplace_back(block, size, false);
    }
    reserved_ += size;
    return chunks_.back().data;
}

void* RodArena::allocate_slow(std::size_t size) {
    try {
        // Large requests get a block of their own so that the current chunk
        // keeps serving small ones.
        if (size > kLargestChunkSize / 4) {
            return new_block(size);
        }
        const std::size_t chunk_size =
            next_chunk_size_ >= size ? next_chunk_size_ : kLargestChunkSize;
        if (next_chunk_size_ < kLargestChunkSize) {
            next_chunk_size_ *= 2;
        }
        std::byte* result = new_block(chunk_size);
        cursor_ = result + size;
        left_ = chunk_size - size;
        return result;
    } catch (const std::bad_alloc&) {
        exhausted_ = true;
        throw;
    }
}
