#pragma once
// Small pieces shared by the section writers: texts of the tree into the
// stream, and the status words.

#include "rod/rod.h"
#include "xml/xml_stream.h"

#include <string_view>

// A text of the tree, in the local 8-bit encoding, as UTF-8 escaped for
// place; an absent text writes nothing.
inline void put_tree_text(XmlStream& out, const char* text, XmlPlace place) {
    out.put_text(rod_text_view(text), place, TextEncoding::Local8Bit);
}

inline std::string_view status_word(bool ok) {
    return ok ? "OK" : "KO";
}
