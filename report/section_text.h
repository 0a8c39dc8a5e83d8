#pragma once
// Small pieces shared by the section writers: data texts into the stream and
// the status words.

#include "report/report_stream.h"
#include "report/xml_text.h"
#include "rod/rod.h"

#include <string_view>

// A text of the tree, in the local 8-bit encoding, as UTF-8 escaped for
// place; an absent text writes nothing.
inline void put_tree_text(ReportStream& out, const char* text, XmlPlace place) {
    xml_append_local8(out.pending(), rod_text_view(text), place);
    out.spill_if_full();
}

// Bytes in the local 8-bit encoding that do not come from the tree.
inline void put_local8(ReportStream& out, std::string_view text, XmlPlace place) {
    xml_append_local8(out.pending(), text, place);
    out.spill_if_full();
}

inline std::string_view status_word(bool ok) {
    return ok ? "OK" : "KO";
}
