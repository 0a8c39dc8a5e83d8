// The TEST element and, in element mode, the ELEMENT elements inside it.

#include "report/section_text.h"
#include "report/section_writers.h"

void xrd_test_write(XmlStream& out, const RodNode* test, bool ok, const RunOptions& options,
                    EnvironmentCache& environment, ConsoleEcho* echo) {
    if (rod_kind(test) != NodeKind::Test) {
        return;
    }
    out.put("\t\t<TEST NAME=\"");
    put_tree_text(out, rod_name(test), XmlPlace::Attribute);
    out.put("\" STATUS=\"");
    out.put(status_word(ok));
    out.put("\" >\n");

    constexpr std::string_view indent = "\t\t\t";
    const RodNode* elements = rod_test_elements(test);
    xrd_comment_write(out, rod_notes(test), indent);
    if (options.element_mode) {
        xrd_flush_comment(out, rod_notes(test), ok, indent, environment, echo);
        for (const RodNode* element = elements; element; element = rod_next(element)) {
            xrd_element_write(out, element, environment, echo);
        }
    } else {
        // Without ELEMENT elements the Elements' notes are folded into the
        // TEST: all comments first, then one REQUIREMENTS block per list,
        // every requirement under the Test's verdict.
        for (const RodNode* element = elements; element; element = rod_next(element)) {
            xrd_comment_write(out, rod_notes(element), indent);
        }
        xrd_flush_comment(out, rod_notes(test), ok, indent, environment, echo);
        for (const RodNode* element = elements; element; element = rod_next(element)) {
            xrd_flush_comment(out, rod_notes(element), ok, indent, environment, echo);
        }
    }
    xrd_coverage_write(out, rod_coverage_notes(test), indent);
    out.put("\t\t</TEST>\n");
}

void xrd_element_write(XmlStream& out, const RodNode* element, EnvironmentCache& environment,
                       ConsoleEcho* echo) {
    if (rod_kind(element) != NodeKind::Element) {
        return;
    }
    const bool ok = rod_status(element) != 0;
    out.put("\t\t\t<ELEMENT NAME=\"");
    put_tree_text(out, rod_name(element), XmlPlace::Attribute);
    out.put("\" STATUS=\"");
    out.put(status_word(ok));
    out.put("\" >\n");
    xrd_comment_write(out, rod_notes(element), "\t\t\t\t");
    xrd_flush_comment(out, rod_notes(element), ok, "\t\t\t\t", environment, echo);
    out.put("\t\t\t</ELEMENT>\n");
}
