#include "report/section_text.h"
#include "report/section_writers.h"

void xrd_comment_write(XmlStream& out, const RodNode* first_note, std::string_view indent) {
    for (const RodNode* note = first_note; note; note = rod_next(note)) {
        const std::string_view text = rod_text_view(rod_note_text(note));
        if (rod_note_letter(note) != 'C' || text.empty()) {
            continue;
        }
        out.put(indent);
        out.put("<COMMENT>");
        out.put_text(text, XmlPlace::Content, TextEncoding::Local8Bit);
        out.put("</COMMENT>\n");
    }
}
