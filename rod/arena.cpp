#include "rod/arena.h"

#include <cstdint>

void* RodArena::allocate(std::size_t size, std::size_t align) {
    const auto address = reinterpret_cast<std::uintptr_t>(cursor_);
    const std::size_t padding = (align - (address & (align - 1))) & (align - 1);
    if (cursor_ && padding + size <= left_) {
        std::byte* result = cursor_ + padding;
        cursor_ = result + size;
        left_ -= padding + size;
        return result;
    }
    // Large requests get a block of their own so that the current chunk keeps
    // serving small ones.
    if (size > kChunkSize / 4) {
        chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
        reserved_ += size;
        return chunks_.back().get();
    }
    chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(kChunkSize));
    reserved_ += kChunkSize;
    cursor_ = chunks_.back().get();
    left_ = kChunkSize;
    std::byte* result = cursor_;
    cursor_ += size;
    left_ -= size;
    return result;
}
