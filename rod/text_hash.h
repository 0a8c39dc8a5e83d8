#pragma once
// Short byte strings loaded into a word, and a fast, non-cryptographic hash
// of a byte string, eight bytes at a time:
// the reader hashes nearly every text of a file (text sharing, the service
// name lookup), so this has to cost little more than reading the bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The first n <= 8 bytes packed little-endian into a word, zero-padded,
// without reading past them: at most three loads of fixed size, which may
// overlap (a byte read twice lands on the same bits both times), rather than
// a copy of variable length, which goes through a call.
inline std::uint64_t rod_load_up_to_8(const char* bytes, std::size_t n) {
    auto load = [bytes](std::size_t at, std::size_t count) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + at, count);  // count is a constant at every call
        return word;
    };
    if (n == 8) {
        return load(0, 8);
    }
    if (n >= 4) {
        return load(0, 4) | (load(n - 4, 4) << (8 * (n - 4)));
    }
    if (n == 0) {
        return 0;
    }
    return load(0, 1) | (load(n / 2, 1) << (8 * (n / 2))) | (load(n - 1, 1) << (8 * (n - 1)));
}

inline std::uint64_t rod_hash_bytes(std::string_view bytes) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    constexpr std::uint64_t kSecondMultiplier = 0xC2B2AE3D27D4EB4Fu;
    auto word_at = [&bytes](std::size_t at) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        return word;
    };
    // Two chains, one per word of each 16 bytes: each step waits for a
    // multiplication, and the processor runs the two side by side.
    std::uint64_t hash = bytes.size() * kMultiplier;
    std::uint64_t other = bytes.size() ^ kSecondMultiplier;
    std::size_t i = 0;
    for (; i + 16 <= bytes.size(); i += 16) {
        hash = (hash ^ word_at(i)) * kMultiplier;
        hash ^= hash >> 29;
        other = (other ^ word_at(i + 8)) * kSecondMultiplier;
        other ^= other >> 29;
    }
    if (i + 8 <= bytes.size()) {
        hash = (hash ^ word_at(i)) * kMultiplier;
        hash ^= hash >> 29;
        i += 8;
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
        other = (other ^ word) * kSecondMultiplier;
    }
    hash = (hash ^ other ^ (other >> 31)) * kMultiplier;
    return hash ^ (hash >> 32);
}
