#include "xml/page_cache.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The C library may predate the call; its number is the same on every
// architecture.
#ifdef SYS_cachestat
constexpr long kCachestat = SYS_cachestat;
#else
constexpr long kCachestat = 451;
#endif

// The kernel's structures for it.
struct CachestatRange {
    std::uint64_t offset;
    std::uint64_t length;  // 0: to the end of the file
};
struct Cachestat {
    std::uint64_t nr_cache;
    std::uint64_t nr_dirty;
    std::uint64_t nr_writeback;
    std::uint64_t nr_evicted;
    std::uint64_t nr_recently_evicted;
};

}  // namespace

std::optional<PageCacheState> page_cache_state(int fd) {
    CachestatRange range{0, 0};
    Cachestat stat{};
    if (syscall(kCachestat, fd, &range, &stat, 0) != 0) {
        return std::nullopt;
    }
    return PageCacheState{stat.nr_cache, stat.nr_dirty, stat.nr_writeback};
}
