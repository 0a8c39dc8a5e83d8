#include "rod/arena.h"

void* RodArena::allocate_slow(std::size_t size) {
    // Large requests get a block of their own so that the current chunk keeps
    // serving small ones.
    if (size > kChunkSize / 4) {
        chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
        reserved_ += size;
        return chunks_.back().get();
    }
    chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(kChunkSize));
    reserved_ += kChunkSize;
    std::byte* result = chunks_.back().get();
    cursor_ = result + size;
    left_ = kChunkSize - size;
    return result;
}
