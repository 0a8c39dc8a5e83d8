#include "campaign/json_stream.h"

#include "i18n/local8bit.h"

#include <array>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The ASCII bytes a string holds as they are; one look-up per byte keeps the
// scan of ordinary text quick.
constexpr std::array<bool, 256> kCopiedAsIs = [] {
    std::array<bool, 256> table{};
    for (int byte = 0x20; byte < 0x80; ++byte) {
        table[byte] = byte != '"' && byte != '\\';
    }
    return table;
}();

// The escape of an ASCII byte that cannot stand as it is.
void put_escape(XmlStream& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (byte) {
        case '"':
            out.put("\\\"");
            return;
        case '\\':
            out.put("\\\\");
            return;
        case '\b':
            out.put("\\b");
            return;
        case '\f':
            out.put("\\f");
            return;
        case '\n':
            out.put("\\n");
            return;
        case '\r':
            out.put("\\r");
            return;
        case '\t':
            out.put("\\t");
            return;
        default:
            out.put("\\u00");
            out.put(kHex[byte >> 4]);
            out.put(kHex[byte & 0xF]);
    }
}

}  // namespace

void append_json_string(XmlStream& out, std::string_view utf8) {
    out.put('"');
    std::size_t start = 0;  // of the run of bytes copied in one go
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (kCopiedAsIs[byte]) {
            ++i;
            continue;
        }
        if (byte >= 0x80) {
            const std::size_t length = utf8_sequence_length(utf8.substr(i));
            if (length > 0) {
                i += length;
                continue;
            }
        }
        out.put(utf8.substr(start, i - start));
        if (byte >= 0x80) {
            out.put(kReplacement);
        } else {
            put_escape(out, byte);
        }
        start = ++i;
    }
    out.put(utf8.substr(start));
    out.put('"');
}

// A comma before every value of an array but its first; in an object key()
// has put it already.
void JsonWriter::before_value() {
    if (levels_.empty() || levels_.back().object) {
        return;
    }
    if (levels_.back().items++ > 0) {
        out_.put(',');
    }
}

void JsonWriter::open(char bracket, bool object) {
    before_value();
    out_.put(bracket);
    levels_.push_back({object, 0});
}

void JsonWriter::close(char bracket) {
    levels_.pop_back();
    out_.put(bracket);
    if (levels_.empty()) {
        out_.put('\n');
    }
}

void JsonWriter::begin_object() {
    open('{', true);
}

void JsonWriter::end_object() {
    close('}');
}

void JsonWriter::begin_array() {
    open('[', false);
}

void JsonWriter::end_array() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    if (levels_.back().items++ > 0) {
        out_.put(',');
    }
    append_json_string(out_, name);
    out_.put(':');
}
void JsonWriter::string(std::string_view utf8) {
    before_value();
    append_json_string(out_, utf8);
}

void JsonWriter::string(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    string(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void JsonWriter::number(long long value) {
    before_value();
    out_.put_int(value);
}

void JsonWriter::boolean(bool value) {
    before_value();
    out_.put(value ? "true" : "false");
}

void JsonWriter::null() {
    before_value();
    out_.put("null");
}
