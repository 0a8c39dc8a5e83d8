#include "xml/xml_text.h"

#include "i18n/local8bit.h"
#include "xml/plain_bytes.h"

#include <QList>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

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

char* copy(char* out, std::string_view bytes) {
    std::memcpy(out, bytes.data(), bytes.size());
    return out + bytes.size();
}

char* escape_ascii(char* out, unsigned char c) {
    switch (c) {
        case '&':
            return copy(out, "&amp;");
        case '<':
            return copy(out, "&lt;");
        case '>':
            return copy(out, "&gt;");
        case '"':
            return copy(out, "&quot;");
        case '\t':
            return copy(out, "&#9;");
        case '\n':
            return copy(out, "&#10;");
        case '\r':
            return copy(out, "&#13;");
        default:
            return copy(out, kReplacement);  // a control XML cannot hold
    }
}

// copy_ordinary stops at every byte that may need a look: the special bytes
// of place and, where blocks are read, TAB and LF in content too, which
// escape_candidate passes on.
#if defined(__SSE2__)

// Writes the text from p on to out, stopping before the first byte that may
// need a look. A whole block is stored before the bytes that count are
// known: out has room for kXmlEscapedMax bytes per byte left, and
// kXmlEscapeSlack.
template <XmlPlace place>
void copy_ordinary(const unsigned char*& p, const unsigned char* end, char*& out) {
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
        const unsigned mask = xml_candidate_mask<place>(bytes);
        if (mask != 0) {
            const int ordinary = std::countr_zero(mask);
            p += ordinary;
            out += ordinary;
            return;
        }
        p += 16;
        out += 16;
    }
    while (p < end) {
        const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(end - p), 8);
        const __m128i bytes = xml_load_short(p, size);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
        const unsigned mask = xml_candidate_mask<place>(bytes) & ((1u << size) - 1);
        if (mask != 0) {
            const int ordinary = std::countr_zero(mask);
            p += ordinary;
            out += ordinary;
            return;
        }
        p += size;
        out += size;
    }
}

#else

template <XmlPlace place>
void copy_ordinary(const unsigned char*& p, const unsigned char* end, char*& out) {
    const auto& special = place == XmlPlace::Attribute ? kAttributeSpecial : kContentSpecial;
    while (p < end && !special[*p]) {
        *out++ = static_cast<char>(*p++);
    }
}

#endif

// Writes the byte or sequence at p, which may need a look, and moves past it.
template <XmlPlace place>
[[gnu::noinline]] void escape_candidate(const unsigned char*& p, const unsigned char* end,
                                        char*& out) {
    const auto& special = place == XmlPlace::Attribute ? kAttributeSpecial : kContentSpecial;
    if (!special[*p]) {
        *out++ = static_cast<char>(*p++);  // TAB or LF in content
        return;
    }
    if (*p < 0x80) {
        out = escape_ascii(out, *p++);
        return;
    }
    const std::size_t length = utf8_sequence_length(
        std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
    // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
    const bool non_character = length == 3 && p[0] == 0xEF && p[1] == 0xBF && p[2] >= 0xBE;
    if (length == 0 || non_character) {
        out = copy(out, kReplacement);
        p += length != 0 ? length : 1;
        return;
    }
    for (std::size_t i = 0; i < length; ++i) {
        *out++ = static_cast<char>(*p++);
    }
}

template <XmlPlace place>
char* escape_utf8(char* out, std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    for (;;) {
        copy_ordinary<place>(p, end, out);
        if (p == end) {
            return out;
        }
        escape_candidate<place>(p, end, out);
    }
}

bool is_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

char* xml_escape_utf8(char* out, std::string_view text, XmlPlace place) {
    return place == XmlPlace::Attribute ? escape_utf8<XmlPlace::Attribute>(out, text)
                                        : escape_utf8<XmlPlace::Content>(out, text);
}

// A sequence is only read from its first byte on, up to the first byte that
// cannot continue it and at most three bytes past the first; the first byte
// of a sequence is never a continuation byte (10xxxxxx). So a cut before a
// byte that is no continuation byte splits no sequence, and neither does a
// cut after three continuation bytes: no sequence that starts before them
// reaches past them.
std::size_t xml_utf8_cut(std::string_view text, std::size_t limit) {
    if (limit >= text.size()) {
        return text.size();
    }
    for (std::size_t cut = limit; cut + 3 >= limit; --cut) {
        if (!is_continuation(text[cut])) {
            return cut;
        }
    }
    return limit;
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

// The name of the code points in [begin, end), each turned into a char32_t.
template <typename Iterator>
std::string xml_name_of(Iterator begin, Iterator end) {
    std::string name;
    // A character that may follow but not start a name (a digit, '-', '.')
    // keeps its place behind a '_'; one that no name may hold becomes the '_'.
    if (begin == end || (is_name_char(*begin) && !is_name_start(*begin))) {
        name.push_back('_');
    }
    for (Iterator it = begin; it != end; ++it) {
        append_name_char(name, is_name_char(*it) ? *it : U'_');
    }
    return name;
}

}  // namespace

std::string xml_name_utf8(const QString& text) {
    const QList<uint> code_points = text.toUcs4();
    return xml_name_of(code_points.begin(), code_points.end());
}

std::string xml_name_ascii(std::string_view ascii) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(ascii.data());
    return xml_name_of(bytes, bytes + ascii.size());
}
