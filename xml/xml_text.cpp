#include "xml/xml_text.h"

#include "i18n/local8bit.h"

#include <QList>

#include <array>

namespace {

// Bytes that need a look of their own, per place: markup characters, the
// control characters, and every byte of a multi-byte sequence.
constexpr std::array<bool, 256> special_bytes(XmlPlace place) {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[c] = true;
    }
    for (int c = 0x80; c < 0x100; ++c) {
        table[c] = true;
    }
    table['&'] = table['<'] = table['>'] = true;
    if (place == XmlPlace::Attribute) {
        table['"'] = true;
    } else {
        table['\t'] = table['\n'] = false;
    }
    return table;
}

constexpr auto kAttributeSpecial = special_bytes(XmlPlace::Attribute);
constexpr auto kContentSpecial = special_bytes(XmlPlace::Content);

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void append_escaped_ascii(std::string& out, unsigned char c) {
    switch (c) {
        case '&':
            out.append("&amp;");
            return;
        case '<':
            out.append("&lt;");
            return;
        case '>':
            out.append("&gt;");
            return;
        case '"':
            out.append("&quot;");
            return;
        case '\t':
            out.append("&#9;");
            return;
        case '\n':
            out.append("&#10;");
            return;
        case '\r':
            out.append("&#13;");
            return;
        default:
            out.append(kReplacement);
            return;  // a control XML cannot hold
    }
}

}  // namespace

void xml_append_utf8(std::string& out, std::string_view text, XmlPlace place) {
    const auto& special = place == XmlPlace::Attribute ? kAttributeSpecial : kContentSpecial;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t run_start = 0;
    std::size_t i = 0;
    while (i < size) {
        if (!special[bytes[i]]) {
            ++i;
            continue;
        }
        if (bytes[i] >= 0x80) {
            const std::size_t length = utf8_sequence_length(text.substr(i));
            // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
            const bool non_character =
                length == 3 && bytes[i] == 0xEF && bytes[i + 1] == 0xBF && bytes[i + 2] >= 0xBE;
            if (length != 0 && !non_character) {
                i += length;
                continue;
            }
            out.append(text.data() + run_start, i - run_start);
            out.append(kReplacement);
            i += length != 0 ? length : 1;
            run_start = i;
            continue;
        }
        out.append(text.data() + run_start, i - run_start);
        append_escaped_ascii(out, bytes[i]);
        ++i;
        run_start = i;
    }
    out.append(text.data() + run_start, size - run_start);
}

void xml_append_local8(std::string& out, std::string_view text, XmlPlace place) {
    if (local8bit_kind() == Local8BitKind::Utf8) {
        // Decoding UTF-8 is validation, which the escaper does as it goes.
        xml_append_utf8(out, text, place);
        return;
    }
    std::string utf8;
    local8bit_append_utf8(utf8, text);
    xml_append_utf8(out, utf8, place);
}

void xml_append_qstring(std::string& out, const QString& text, XmlPlace place) {
    const QByteArray utf8 = text.toUtf8();
    xml_append_utf8(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                    place);
}

namespace {

bool is_name_start(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x131) ||
           (c >= 0x134 && c <= 0x13E) || (c >= 0x141 && c <= 0x148) || (c >= 0x14A && c <= 0x17E);
}

bool is_name_char(char32_t c) {
    return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
}

// Every character a name keeps is below U+0800.
void append_name_char(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

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
        append_name_char(name, is_name_char(c) ? c : U'_');
    }
    return name;
}
