#pragma once
// What the page cache holds of a file, as the kernel counts it (cachestat,
// Linux 6.5 and later).

#include <cstdint>
#include <optional>

struct PageCacheState {
    std::uint64_t cached = 0;           // pages in the cache
    std::uint64_t dirty = 0;            // of them, not yet written back
    std::uint64_t under_writeback = 0;  // of them, being written back
};

// The whole file's pages; nothing where the kernel cannot say.
std::optional<PageCacheState> page_cache_state(int fd);
