#include "report/section_text.h"
#include "report/section_writers.h"

void xrd_comment_write(ReportStream& out, const RodNode* first_note, std::string_view indent) {
    for (const RodNode* note = first_note; note; note = rod_next(note)) {
        const std::string_view text = rod_text_view(rod_note_text(note));
        if (rod_note_letter(note) != 'C' || text.empty()) {
            continue;
        }
        out.put(indent);
        out.put("<COMMENT>");
        put_local8(out, text, XmlPlace::Content);
        out.put("</COMMENT>\n");
    }
}
