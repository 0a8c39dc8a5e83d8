#include "project/expand_variables.h"

#include "i18n/local8bit.h"
#include "xml/xml_stream.h"

#include <array>
#include <cstdlib>

namespace {

// The bytes of a variable name, looked up in a table: names are scanned a
// byte at a time in every attribute value that holds a '$'.
constexpr auto kNameBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    }
    return table;
}();

bool is_name_byte(unsigned char c) {
    return kNameBytes[c];
}

}  // namespace

const std::string* EnvironmentCache::get(std::string_view name) {
    for (const Entry& entry : entries_) {
        if (entry.name == name) {
            return entry.set ? &entry.utf8 : nullptr;
        }
    }
    Entry& entry = entries_.size() < kMaxNames ? entries_.emplace_back() : lookup_;
    entry.name.assign(name);
    const char* value = std::getenv(entry.name.c_str());
    entry.set = value != nullptr;
    entry.utf8.clear();
    if (value) {
        // Environment values are bytes in the locale's encoding.
        local8bit_append_utf8(entry.utf8, value);
    }
    return entry.set ? &entry.utf8 : nullptr;
}

namespace {

// Hands the pieces of the expansion of utf8 to put, in order: the text
// between references and the values of the set variables.
template <typename Put>
void expand_pieces(std::string_view utf8, EnvironmentCache& environment, Put put) {
    // A name character is ASCII and never part of a multi-byte sequence, so
    // the byte-level search finds exactly the references of the UTF-16 one.
    const std::size_t size = utf8.size();
    std::size_t done = 0;
    std::size_t pos = 0;
    while (true) {
        pos = utf8.find('$', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        std::size_t end = pos + 1;
        while (end < size && is_name_byte(static_cast<unsigned char>(utf8[end]))) {
            ++end;
        }
        if (end == pos + 1) {
            pos = end;
            continue;
        }
        const std::string* value = environment.get(utf8.substr(pos + 1, end - pos - 1));
        if (value != nullptr) {
            put(utf8.substr(done, pos - done));
            put(*value);
            done = end;
        }
        pos = end;
    }
    put(utf8.substr(done));
}

}  // namespace

void expand_variables(std::string& out, std::string_view utf8, EnvironmentCache& environment) {
    expand_pieces(utf8, environment, [&out](std::string_view piece) { out.append(piece); });
}

// Valid UTF-8 cut before and after ASCII bytes is whole characters, and so
// is a decoded value; escaping goes character by character, so the pieces
// escaped one after the other give the bytes of the whole escaped at once.
void expand_variables(XmlStream& out, std::string_view utf8, XmlPlace place,
                      EnvironmentCache& environment) {
    expand_pieces(utf8, environment, [&out, place](std::string_view piece) {
        out.put_text(piece, place, TextEncoding::Utf8);
    });
}
