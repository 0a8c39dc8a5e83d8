#include "campaign/html_text.h"

namespace {

bool kept_in_anchor(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == ':' || c == '-';
}

}  // namespace

void append_html(XmlStream& out, std::string_view utf8) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char* entity = nullptr;
        switch (utf8[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            default:
                continue;
        }
        out.put(utf8.substr(start, i - start));
        out.put(entity);
        start = i + 1;
    }
    out.put(utf8.substr(start));
}

std::string anchor_id(std::string_view prefix, const std::vector<std::string_view>& parts) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string id(prefix);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        if (p > 0) {
            id += '/';
        }
        for (const char c : parts[p]) {
            const auto byte = static_cast<unsigned char>(c);
            if (kept_in_anchor(byte)) {
                id += c;
            } else {
                id += '~';
                id += kHex[byte >> 4];
                id += kHex[byte & 0xF];
            }
        }
    }
    return id;
}
