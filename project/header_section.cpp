#include "project/header_section.h"

#include "driver/run_options.h"
#include "i18n/local8bit.h"
#include "report/report_stream.h"
#include "report/xml_text.h"

#include <QList>

#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct MallocFree {
    void operator()(char* p) const { std::free(p); }
};

void cut_at_last(std::string& line, char c) {
    const std::size_t pos = line.rfind(c);
    if (pos != std::string::npos) {
        line.resize(pos);
    }
}

// Which characters may start an XML name, and which may follow. Parsers
// differ on letters outside Latin (the current XML 1.0 edition accepts almost
// any character, older ones and Qt's only the letters of Unicode 2.0), so a
// name keeps ASCII letters and digits and the accented letters of Latin-1 and
// Latin Extended-A, which every XML parser accepts; any other character
// becomes '_'. ':' is left out: it would make a namespace prefix.
bool is_name_start(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x131) ||
           (c >= 0x134 && c <= 0x13E) || (c >= 0x141 && c <= 0x148) || (c >= 0x14A && c <= 0x17E);
}

bool is_name_char(char32_t c) {
    return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Header lines are free text, but keys, tags and attribute names become
// element and attribute names: anything a name cannot hold becomes '_', and
// a name that could not start as it is gets a '_' in front.
std::string xml_name_utf8(const QString& text) {
    const QList<uint> code_points = text.toUcs4();
    std::string name;
    // A character that may follow but not start a name (a digit, '-', '.')
    // keeps its place behind a '_'; one that no name may hold becomes the '_'.
    if (code_points.isEmpty() ||
        (is_name_char(code_points.front()) && !is_name_start(code_points.front()))) {
        name.push_back('_');
    }
    for (const uint c : code_points) {
        append_utf8(name, is_name_char(c) ? c : U'_');
    }
    return name;
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
    return xml_name_utf8(local8bit_decode(transformed));
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
    return xml_name_utf8(local8bit_decode(transformed).toUpper());
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

    void close(ReportStream& out) {
        if (open()) {
            out.put(">\n\t</ENV_INFO>\n");
            names.clear();
        }
    }

    void add(ReportStream& out, const std::string& name, std::string_view value) {
        if (names.count(name) != 0) {
            close(out);
        }
        if (!open()) {
            out.put("\t<ENV_INFO");
        }
        names.insert(name);
        std::string& text = out.pending();
        text.push_back(' ');
        text.append(name);
        text.append("=\"");
        xml_append_local8(text, value, XmlPlace::Attribute);
        text.push_back('"');
        out.spill_if_full();
    }
};

void write_named_entry(ReportStream& out, std::string_view key, std::size_t colon,
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

    std::string& line = out.pending();
    line.push_back('<');
    line.append(tag);
    line.append(" NAME=\"");
    xml_append_local8(line, name, XmlPlace::Attribute);
    line.append("\" ");
    line.append(attribute);
    line.append("=\"");
    xml_append_local8(line, text, XmlPlace::Attribute);
    line.append("\" ></");
    line.append(tag);
    line.push_back('>');
    out.spill_if_full();
}

}  // namespace

std::optional<std::string> read_header_line(std::FILE* file) {
    if (file == nullptr) {
        return std::nullopt;
    }
    // getline takes a line whole, however long, and keeps any NUL byte in it
    // as data rather than ending the text there.
    char* raw = nullptr;
    std::size_t capacity = 0;
    const ssize_t length = getline(&raw, &capacity, file);
    const std::unique_ptr<char, MallocFree> buffer(raw);
    if (length < 0) {
        return std::nullopt;
    }
    std::string line(raw, static_cast<std::size_t>(length));
    cut_at_last(line, '\n');
    cut_at_last(line, '\t');
    cut_at_last(line, '\r');
    return line;
}

void write_header_section(ReportStream& out) {
    if (run_options.header_file == nullptr) {
        return;
    }
    const FilePtr file(std::fopen(run_options.header_file, "rb"));
    if (!file) {
        return;
    }
    EnvInfo env_info;
    while (std::optional<std::string> line = read_header_line(file.get())) {
        if (!line->empty() && line->front() == '-') {
            break;
        }
        replace_line_breaks(*line);
        const std::string_view text(*line);
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
