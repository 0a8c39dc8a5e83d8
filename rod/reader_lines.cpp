#include "rod/reader_lines.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstring>

namespace {

// The scan starts again at pos, which moved otherwise than by a line found
// in the block.
void restart_scan(RodLineSource& source) {
    source.newlines = 0;
    source.scan_end = source.pos;
}

// A file smaller than this is read on the reader's thread alone: a helper
// would save it little.
constexpr std::size_t kReadAheadFrom = std::size_t{8} << 20;

// Refills the block; false when nothing more can be read. A read error ends
// the lines and is kept in read_error: the reader must not take what it read
// so far for the whole file. From the second block of a large file on, the
// next one is read ahead into the spare block while this one is split into
// lines.
bool refill(RodLineSource& source) {
    if (source.at_end) {
        return false;
    }
    source.pos = 0;
    restart_scan(source);
    const int fd = fileno(source.file.get());
    ssize_t count = 0;
    if (source.reading_ahead) {
        count = source.ahead->finish();
        std::swap(source.block, source.spare);
        source.reading_ahead = false;
    } else {
        count = rod_read_block(fd, source.block.get(), source.block_size);
    }
    if (count < 0) {
        // A line cut by a read error is not a line.
        source.at_end = true;
        source.read_error = true;
        source.end = 0;
        source.carry.clear();
        return false;
    }
    source.end = static_cast<std::size_t>(count);
    source.bytes_read += source.end;
    if (source.end < source.block_size) {
        source.at_end = true;
    } else if (++source.blocks_read >= 2 && source.file_size >= kReadAheadFrom) {
        if (!source.spare) {
            source.spare = std::make_unique<char[]>(source.block_size + kRodScanSlack);
            source.ahead = std::make_unique<RodReadAhead>();
        }
        source.reading_ahead = source.ahead->start(fd, source.spare.get(), source.block_size);
    }
    return source.end > 0;
}

// A line that fills a whole block may be very long: room for the rest of the
// file (within a cap) spares it the copies and page faults of growing by
// doubling. Pages of the room that the line does not reach are never touched.
void reserve_for_long_line(RodLineSource& source, std::size_t left_in_block) {
    constexpr std::size_t kMaxRoom = std::size_t{256} << 20;
    if (source.file_size <= source.bytes_read) {
        return;  // not a regular file, or it has grown: double as usual
    }
    const std::size_t room =
        source.carry.size() + left_in_block + (source.file_size - source.bytes_read);
    if (room > source.carry.capacity() && room <= kMaxRoom) {
        source.carry.reserve(room);
    }
}

}  // namespace

bool rod_open_lines(RodLineSource& source, const char* path, std::size_t block_size) {
    source = RodLineSource{};
    source.file.reset(std::fopen(path, "r"));
    if (!source.file) {
        return false;
    }
    struct stat status {};
    if (fstat(fileno(source.file.get()), &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_size >= 0 && static_cast<std::uintmax_t>(status.st_size) <= SIZE_MAX) {
        source.file_size = static_cast<std::size_t>(status.st_size);
        if (source.file_size < block_size) {
            // One byte more than the file, so that the first read already
            // meets its end.
            block_size = source.file_size + 1;
        }
    }
    source.block_size = block_size > 0 ? block_size : 1;
    // The slack is never data, but it is scanned (and masked off): it must
    // hold defined bytes.
    source.block = std::make_unique<char[]>(source.block_size + kRodScanSlack);
    return true;
}

namespace {

// Reached when the rest of the block holds no whole line.
bool next_line_spanning(RodLineSource& source, std::string_view& line) {
    source.carry.clear();
    bool spanning = false;
    for (;;) {
        if (source.pos == source.end && !refill(source)) {
            if (spanning && !source.carry.empty()) {
                line = source.carry;
                return true;
            }
            return false;
        }
        const char* start = source.block.get() + source.pos;
        const std::size_t left = source.end - source.pos;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', left));
        if (newline) {
            const auto length = static_cast<std::size_t>(newline - start);
            source.pos += length + 1;
            if (!spanning) {
                line = std::string_view(start, length);
                return true;
            }
            source.carry.append(start, length);
            line = source.carry;
            return true;
        }
        if (spanning) {
            reserve_for_long_line(source, left);
        }
        source.carry.append(start, left);
        source.pos = source.end;
        spanning = true;
    }
}

bool next_line_head(RodLineSource& source, std::size_t limit, std::string_view& head, bool& whole) {
    source.carry.clear();
    for (;;) {
        if (source.pos == source.end && !refill(source)) {
            if (source.carry.empty()) {
                return false;
            }
            head = source.carry;  // a last line without '\n'
            whole = true;
            return true;
        }
        const char* start = source.block.get() + source.pos;
        const std::size_t left = source.end - source.pos;
        const std::size_t room = limit - source.carry.size();
        // One byte past the room: a '\n' there still ends a line that fits.
        const std::size_t window = left < room + 1 ? left : room + 1;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', window));
        const std::size_t taken =
            newline ? static_cast<std::size_t>(newline - start) : (left < room ? left : room);
        if (source.carry.empty() && (newline || taken == room)) {
            head = std::string_view(start, taken);  // no copy when the head lies in the block
        } else {
            source.carry.append(start, taken);
            head = source.carry;
        }
        source.pos += newline ? taken + 1 : taken;
        if (newline) {
            whole = true;
            return true;
        }
        if (head.size() < limit) {
            continue;
        }
        if (source.pos < source.end) {
            whole = false;  // the byte after the head is in the block, and no '\n'
            return true;
        }
        // The head ends with the block: the next byte says whether the line
        // goes on. The head moves to carry, since the block is refilled.
        if (source.carry.empty()) {
            source.carry.assign(head);
        }
        head = source.carry;
        if (!refill(source)) {
            whole = true;  // the end of the file ends the line
            return !source.read_error;
        }
        whole = source.block[0] == '\n';
        if (whole) {
            source.pos = 1;
        }
        return true;
    }
}

void skip_line(RodLineSource& source) {
    for (;;) {
        if (source.pos == source.end && !refill(source)) {
            return;
        }
        const char* start = source.block.get() + source.pos;
        const std::size_t left = source.end - source.pos;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', left));
        if (newline) {
            source.pos += static_cast<std::size_t>(newline - start) + 1;
            return;
        }
        source.pos = source.end;
    }
}

}  // namespace

bool rod_next_line_spanning(RodLineSource& source, std::string_view& line) {
    const bool found = next_line_spanning(source, line);
    restart_scan(source);
    return found;
}

bool rod_next_line_head(RodLineSource& source, std::size_t limit, std::string_view& head,
                        bool& whole) {
    const bool found = next_line_head(source, limit, head, whole);
    restart_scan(source);
    return found;
}

void rod_skip_line(RodLineSource& source) {
    skip_line(source);
    restart_scan(source);
}
