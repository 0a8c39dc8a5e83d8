#pragma once
// The lines of a ROD file, read in large blocks and split on '\n'. A line is
// handed out whole whatever its length; only a line that spans blocks is
// copied, so memory follows the longest line, not the file.

#include "rod/read_ahead.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct RodLineSource {
    std::unique_ptr<std::FILE, FileCloser> file;  // read through its descriptor
    std::unique_ptr<char[]> block;
    std::size_t block_size = 0;
    std::size_t pos = 0;      // next unread byte of block
    std::size_t end = 0;      // bytes of block filled
    bool at_end = false;      // end of file, or a read error, was met
    bool read_error = false;  // a read failed: the lines stop there, cut short
    std::string carry;        // a line that spans blocks
    // For a regular file: its size and the bytes read from it so far, so that
    // a line longer than a block can have room for the rest of the file.
    std::size_t file_size = 0;
    std::size_t bytes_read = 0;
    // The line feeds of the 64 bytes of block before scan_end that lie at or
    // after pos, one bit each: a line is then found with a few instructions
    // instead of a call of memchr on every line. Empty with scan_end at pos
    // whenever pos moves otherwise.
    std::uint64_t newlines = 0;
    std::size_t scan_end = 0;
    // The block after this one, being read on a helper thread (declared
    // last: the helper finishes with spare before it goes).
    std::size_t blocks_read = 0;
    bool reading_ahead = false;
    std::unique_ptr<char[]> spare;
    std::unique_ptr<RodReadAhead> ahead;
};

constexpr std::size_t kRodBlockSize = 512 * 1024;

// Bytes of the block behind its size, so that the last 64 bytes before the
// end of the data can be scanned in one go.
constexpr std::size_t kRodScanSlack = 64;

// One bit for each line feed among the 64 bytes at `bytes`, of which only
// the first `valid` (if fewer) count; all 64 must be readable.
inline std::uint64_t rod_newline_mask(const char* bytes, std::size_t valid) {
    std::uint64_t mask = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    for (int i = 0; i < 4; ++i) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
        const auto bits =
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, newline)));
        mask |= std::uint64_t{bits} << (16 * i);
    }
#else
    for (int i = 0; i < 64; ++i) {
        mask |= std::uint64_t{bytes[i] == '\n'} << i;
    }
#endif
    return valid < 64 ? mask & ((std::uint64_t{1} << valid) - 1) : mask;
}

// Opens path for reading; false when it cannot be opened. A regular file
// smaller than block_size gets a block just large enough for it.
bool rod_open_lines(RodLineSource& source, const char* path,
                    std::size_t block_size = kRodBlockSize);

// The next line when it lies whole in the block; false otherwise, leaving
// the source as it was but for its scan. The common case, kept inline.
inline bool rod_next_line_in_block(RodLineSource& source, std::string_view& line) {
    std::uint64_t newlines = source.newlines;
    while (newlines == 0) {
        const std::size_t base = source.scan_end;
        if (base >= source.end) {
            return false;
        }
        newlines = rod_newline_mask(source.block.get() + base, source.end - base);
        source.scan_end = base + 64;
    }
    const std::size_t at =
        source.scan_end - 64 + static_cast<std::size_t>(std::countr_zero(newlines));
    source.newlines = newlines & (newlines - 1);
    line = std::string_view(source.block.get() + source.pos, at - source.pos);
    source.pos = at + 1;
    return true;
}

// The next line without its '\n' (a last line without one counts too); false
// at the end of the file or on a read error. The view stays valid until the
// next call.
bool rod_next_line_spanning(RodLineSource& source, std::string_view& line);
inline bool rod_next_line(RodLineSource& source, std::string_view& line) {
    return rod_next_line_in_block(source, line) || rod_next_line_spanning(source, line);
}

// The first bytes of the next line, at most `limit` of them, without its
// '\n', so that a file can be judged without holding a line that may never
// end. `whole` tells whether that is the whole line; when it is not, the rest
// stays unread: rod_skip_line drops it, rod_next_line gives it as if it were
// a line of its own. False at the end of the file or on a read error. The
// view stays valid until the next call.
bool rod_next_line_head(RodLineSource& source, std::size_t limit, std::string_view& head,
                        bool& whole);

// Reads and drops the rest of the current line, its '\n' included, keeping
// nothing of it; on a read error the source's read_error is set.
void rod_skip_line(RodLineSource& source);

// The line without its trailing carriage returns and line feeds.
inline std::string_view rod_trim_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}
