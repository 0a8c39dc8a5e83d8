#pragma once
// Escaping of a UTF-8 data text written as plainly as it can be, one byte or
// sequence at a time: the reference the stream's block-wise escaper is
// checked against.

#include "i18n/local8bit.h"
#include "xml/xml_text.h"

#include <string>
#include <string_view>

inline std::string reference_xml_escape(std::string_view text, XmlPlace place) {
    const bool attribute = place == XmlPlace::Attribute;
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8_sequence_length(text.substr(i));
            const std::string_view sequence = text.substr(i, length);
            if (length == 0 || sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF") {
                out += "\xEF\xBF\xBD";
                i += length != 0 ? length : 1;
            } else {
                out += sequence;
                i += length;
            }
            continue;
        }
        ++i;
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"' && attribute) {
            out += "&quot;";
        } else if (c == '\t' && attribute) {
            out += "&#9;";
        } else if (c == '\n' && attribute) {
            out += "&#10;";
        } else if (c == '\r') {
            out += "&#13;";
        } else if (c < 0x20 && c != '\t' && c != '\n') {
            out += "\xEF\xBF\xBD";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}
