#include "campaign/rod_tail.h"

#include "i18n/local8bit.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// quillon judges the header on at most this many bytes of the first line.
constexpr std::size_t kHeaderHeadSize = 51199;

constexpr std::string_view kMagic = "KOVIN Merovia ROD:";

struct Descriptor {
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
    int fd;
};

// The file's bytes, one block at a time.
struct ByteSource {
    int fd = -1;
    std::unique_ptr<char[]> block = std::make_unique<char[]>(kBlockSize);
    bool failed = false;

    // The next bytes; empty at the end of the file or on a read error.
    std::string_view next() {
        for (;;) {
            const ssize_t count = read(fd, block.get(), kBlockSize);
            if (count >= 0) {
                return {block.get(), static_cast<std::size_t>(count)};
            }
            if (errno != EINTR) {
                failed = true;
                return {};
            }
        }
    }
};

constexpr bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number as %d does at `at`; false when there is none. `one` tells
// whether its value is 1.
bool read_number(std::string_view text, std::size_t& at, bool& one) {
    while (at < text.size() && is_c_space(text[at])) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    const std::size_t digits = at;
    std::size_t first_nonzero = std::string_view::npos;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (first_nonzero == std::string_view::npos && text[at] != '0') {
            first_nonzero = at;
        }
    }
    one = !negative && first_nonzero == at - 1 && text[first_nonzero] == '1';
    return at > digits;
}

// Whether quillon reads on behind this first line (at most kHeaderHeadSize
// bytes of it): the magic and a version "%d.%d.%d" whose first number is 1,
// or no magic and an MO record.
bool header_accepted(std::string_view head) {
    if (!head.starts_with(kMagic)) {
        return head.starts_with("MO");
    }
    std::size_t at = kMagic.size();
    bool major_is_one = false;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (at >= head.size() || head[at] != '.') {
                return false;
            }
            ++at;
        }
        bool one = false;
        if (!read_number(head, at, one)) {
            return false;
        }
        if (i == 0) {
            major_is_one = one;
        }
    }
    return major_is_one;
}

constexpr std::uint16_t code(char first, char second) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(first) << 8) |
                                      static_cast<unsigned char>(second));
}

// The open items that decide the answer, and the line being read, which may
// come in several pieces.
struct TailState {
    bool service_open = false;
    bool test_open = false;
    bool test_has_verdict = false;
    std::int64_t test_line = 0;
    std::string test_name;  // bytes, as the file holds them

    std::int64_t line_number = 2;  // of the line being read; the header is line 1
    std::size_t line_length = 0;   // bytes of the line seen so far
    char first = '\0';
    char second = '\0';
    // For NT and RT: after the line's first blank, and (RT) whether a text
    // follows it. A carriage return may yet turn out to be part of the line
    // end, which is not text.
    bool after_blank = false;
    bool has_text = false;
    bool carriage_return_pending = false;
    std::string name;  // NT: the record text so far

    std::uint16_t line_code() const { return code(first, second); }
    bool wants_rest() const {
        const std::uint16_t c = line_code();
        return (c == code('N', 'T') && service_open) ||
               (c == code('R', 'T') && test_open && !test_has_verdict && !has_text);
    }

    void take(std::string_view piece);
    void end_line();
};

void TailState::take(std::string_view piece) {
    std::size_t i = 0;
    for (; line_length < 2 && i < piece.size(); ++i, ++line_length) {
        (line_length == 0 ? first : second) = piece[i];
    }
    line_length += piece.size() - i;
    if (line_length < 2 || i == piece.size() || !wants_rest()) {
        return;
    }
    const bool nt = line_code() == code('N', 'T');
    for (; i < piece.size(); ++i) {
        const char c = piece[i];
        if (!after_blank) {
            after_blank = c == ' ';
        } else if (nt) {
            if (c != ' ' || !name.empty()) {
                name.append(piece.substr(i));  // the rest of the piece, as it is
                return;
            }
        } else if (c == '\r') {
            carriage_return_pending = true;
        } else if (c != ' ' || carriage_return_pending) {
            has_text = true;
            return;
        }
    }
}

void TailState::end_line() {
    switch (line_length < 2 ? 0 : line_code()) {
        case code('N', 'S'):
            test_open = false;
            service_open = true;
            break;
        case code('N', 'T'):
            test_open = service_open;
            if (test_open) {
                test_has_verdict = false;
                test_line = line_number;
                while (!name.empty() && name.back() == '\r') {
                    name.pop_back();  // the line end
                }
                test_name.swap(name);
            }
            break;
        case code('B', 'G'):
        case code('M', 'O'):
            service_open = false;
            test_open = false;
            break;
        case code('R', 'T'):
            test_has_verdict = test_has_verdict || (test_open && has_text);
            break;
        case code('A', 'S'):
        case code('A', 'T'):
            test_has_verdict = test_has_verdict || test_open;
            break;
        default:
            break;
    }
    ++line_number;
    line_length = 0;
    first = second = '\0';
    after_blank = has_text = carriage_return_pending = false;
    name.clear();
}

// Reads the first line, keeping its head; false when the file has none.
bool read_first_line(ByteSource& source, std::string_view& rest, std::string& head) {
    bool any = false;
    for (std::string_view bytes = source.next(); !bytes.empty(); bytes = source.next()) {
        any = true;
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        head.append(bytes.substr(0, std::min(end, kHeaderHeadSize - head.size())));
        if (end < bytes.size()) {
            rest = bytes.substr(end + 1);
            return true;
        }
    }
    return any;
}

}  // namespace

RodTail read_rod_tail(const std::string& path) {
    RodTail tail;
    const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) {
        tail.error_number = errno != 0 ? errno : EIO;
        return tail;
    }
    ByteSource source{file.fd};
    std::string_view bytes;
    std::string head;
    const bool has_first_line = read_first_line(source, bytes, head);
    if (source.failed) {
        tail.error_number = errno != 0 ? errno : EIO;
        return tail;
    }
    if (!has_first_line || !header_accepted(head)) {
        tail.not_rod = true;
        return tail;
    }
    TailState state;
    for (;;) {
        if (bytes.empty()) {
            bytes = source.next();
            if (bytes.empty()) {
                break;
            }
        }
        const auto* newline =
            static_cast<const char*>(std::memchr(bytes.data(), '\n', bytes.size()));
        if (!newline) {
            state.take(bytes);
            bytes = {};
            continue;
        }
        const auto length = static_cast<std::size_t>(newline - bytes.data());
        state.take(bytes.substr(0, length));
        state.end_line();
        bytes.remove_prefix(length + 1);
    }
    if (source.failed) {
        tail.error_number = errno != 0 ? errno : EIO;
        return tail;
    }
    if (state.line_length > 0) {
        state.end_line();  // a last line without '\n'
    }
    if (state.test_open && !state.test_has_verdict) {
        tail.unfinished = true;
        local8bit_append_utf8(tail.test_name, state.test_name);
        tail.test_line = state.test_line;
    }
    return tail;
}
