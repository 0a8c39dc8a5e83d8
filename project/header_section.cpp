#include "project/header_section.h"

#include "i18n/local8bit.h"
#include "xml/xml_stream.h"
#include "xml/xml_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>
#include <string_view>

namespace {

std::string_view cut_at_last(std::string_view line, char c) {
    const std::size_t pos = line.rfind(c);
    return pos == std::string_view::npos ? line : line.substr(0, pos);
}

// The tag of a named entry and its attribute name: blanks become '_' and the
// bytes 0x61 to 0x7F lose 0x20, which upper-cases ASCII letters; every other
// byte stays, so characters of the local encoding are left as they are.
std::string entry_name(std::string_view bytes) {
    std::string transformed(bytes);
    for (char& b : transformed) {
        const auto c = static_cast<unsigned char>(b);
        if (c == ' ') {
            b = '_';
        } else if (c >= 0x61 && c <= 0x7F) {
            b = static_cast<char>(c - 0x20);
        }
    }
    return is_ascii(transformed) ? xml_name_ascii(transformed)
                                 : xml_name_utf8(local8bit_decode(transformed));
}

// An environment attribute's name: blanks become '_', then the key is
// upper-cased as Unicode text.
std::string env_info_name(std::string_view key) {
    std::string transformed(key);
    for (char& b : transformed) {
        if (b == ' ') {
            b = '_';
        }
    }
    if (!is_ascii(transformed)) {
        return xml_name_utf8(local8bit_decode(transformed).toUpper());
    }
    for (char& b : transformed) {
        if (b >= 'a' && b <= 'z') {
            b = static_cast<char>(b - 'a' + 'A');
        }
    }
    return xml_name_ascii(transformed);
}

void replace_line_breaks(std::string& line) {
    static constexpr std::string_view kBreak = "<br>";
    std::size_t pos = 0;
    while ((pos = line.find(kBreak, pos)) != std::string::npos) {
        line.replace(pos, kBreak.size(), "    ");
        pos += kBreak.size();
    }
}

// The ENV_INFO element being written, with the names it already holds: an
// element may not hold an attribute twice.
struct EnvInfo {
    std::set<std::string> names;

    bool open() const { return !names.empty(); }

    void close(XmlStream& out) {
        if (open()) {
            out.put(">\n\t</ENV_INFO>\n");
            names.clear();
        }
    }

    void add(XmlStream& out, const std::string& name, std::string_view value) {
        if (names.count(name) != 0) {
            close(out);
        }
        if (!open()) {
            out.put("\t<ENV_INFO");
        }
        names.insert(name);
        out.put(' ');
        out.put(name);
        out.put("=\"");
        out.put_text(value, XmlPlace::Attribute, TextEncoding::Local8Bit);
        out.put('"');
    }
};

void write_named_entry(XmlStream& out, std::string_view key, std::size_t colon,
                       std::string_view value) {
    const std::string tag = entry_name(key.substr(0, colon));
    const std::string_view name = key.substr(colon + 1);

    // The value's own attribute, when it names one; NAME is taken by the
    // entry's name, so such a value is kept whole as the VALUE.
    std::string attribute = "VALUE";
    std::string_view text = value;
    const std::size_t value_colon = value.find(':');
    if (value_colon != std::string_view::npos) {
        std::string own = entry_name(value.substr(0, value_colon));
        if (own != "NAME") {
            attribute = std::move(own);
            text = value.substr(value_colon + 1);
        }
    }

    out.put('<');
    out.put(tag);
    out.put(" NAME=\"");
    out.put_text(name, XmlPlace::Attribute, TextEncoding::Local8Bit);
    out.put("\" ");
    out.put(attribute);
    out.put("=\"");
    out.put_text(text, XmlPlace::Attribute, TextEncoding::Local8Bit);
    out.put("\" ></");
    out.put(tag);
    out.put('>');
}

}  // namespace

std::optional<std::string_view> read_header_line(std::string_view& rest) {
    if (rest.empty()) {
        return std::nullopt;
    }
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return cut_at_last(cut_at_last(line, '\t'), '\r');
}

HeaderFileRead read_header_file(const char* path, std::string& bytes) {
    const int fd = ::open(path, O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return HeaderFileRead::NotOpened;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } const closer{fd};
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        return HeaderFileRead::NotOpened;
    }
    // The whole file at once: lines are read whole however long.
    bytes.clear();
    if (S_ISREG(status.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char block[65536];
    for (;;) {
        const ssize_t count = ::read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return HeaderFileRead::ReadError;
        }
        if (count == 0) {
            return HeaderFileRead::Read;
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
}

void write_header_section(XmlStream& out, std::string_view header_bytes) {
    std::string_view rest = header_bytes;
    std::string line;
    EnvInfo env_info;
    while (const std::optional<std::string_view> next = read_header_line(rest)) {
        if (!next->empty() && next->front() == '-') {
            break;
        }
        line.assign(*next);
        replace_line_breaks(line);
        const std::string_view text(line);
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = text.substr(0, equals);
        const std::string_view value = text.substr(equals + 1);
        const std::size_t colon = key.find(':');
        if (colon == std::string_view::npos) {
            env_info.add(out, env_info_name(key), value);
        } else {
            env_info.close(out);
            write_named_entry(out, key, colon, value);
        }
    }
    env_info.close(out);
}
