#pragma once
// A fast, non-cryptographic hash of a byte string, eight bytes at a time:
// the reader hashes nearly every text of a file (text sharing, the service
// name lookup), so this has to cost little more than reading the bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline std::uint64_t rod_hash_bytes(std::string_view bytes) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    std::uint64_t hash = bytes.size() * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    const std::size_t rest = bytes.size() - i;
    if (rest != 0) {
        // The last one to seven bytes, read in at most two loads of fixed
        // size (which may overlap): a copy of variable length would go
        // through a call and a stalled reload of the copied word.
        const char* tail = bytes.data() + i;
        std::uint64_t word = 0;
        if (rest >= 4) {
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            std::memcpy(&low, tail, 4);
            std::memcpy(&high, tail + rest - 4, 4);
            word = low | (std::uint64_t{high} << 32);
        } else {
            word = static_cast<unsigned char>(tail[0]) |
                   (std::uint64_t{static_cast<unsigned char>(tail[rest / 2])} << 8) |
                   (std::uint64_t{static_cast<unsigned char>(tail[rest - 1])} << 16);
        }
        hash = (hash ^ word) * kMultiplier;
    }
    return hash ^ (hash >> 32);
}
