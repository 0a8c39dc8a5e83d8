#pragma once
// The lines of a ROD file, read in large blocks and split on '\n'. A line is
// handed out whole whatever its length; only a line that spans blocks is
// copied, so memory follows the longest line, not the file.

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct RodLineSource {
    std::unique_ptr<std::FILE, FileCloser> file;
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
};

constexpr std::size_t kRodBlockSize = 1024 * 1024;

// Opens path for reading; false when it cannot be opened. A regular file
// smaller than block_size gets a block just large enough for it.
bool rod_open_lines(RodLineSource& source, const char* path,
                    std::size_t block_size = kRodBlockSize);

// The next line when it lies whole in the block; false otherwise, leaving
// the source as it was. The common case, kept inline.
inline bool rod_next_line_in_block(RodLineSource& source, std::string_view& line) {
    if (source.pos >= source.end) {
        return false;
    }
    const char* start = source.block.get() + source.pos;
    const std::size_t left = source.end - source.pos;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', left));
    if (!newline) {
        return false;
    }
    const auto length = static_cast<std::size_t>(newline - start);
    source.pos += length + 1;
    line = std::string_view(start, length);
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
