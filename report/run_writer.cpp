#include "project/expand_variables.h"
#include "report/section_text.h"
#include "report/section_writers.h"

#include <cstdlib>

namespace {

// USERNAME, then USER, when set and not empty.
std::string_view author_name() {
    for (const char* variable : {"USERNAME", "USER"}) {
        const char* value = std::getenv(variable);
        if (value && value[0] != '\0') {
            return value;
        }
    }
    return "Unknown";
}

void put_field(XmlStream& out, std::string_view attribute, const char* text) {
    if (!text) {
        return;  // absent: no attribute at all, unlike an empty text
    }
    out.put(attribute);
    put_tree_text(out, text, XmlPlace::Attribute);
    out.put('"');
}

}  // namespace

void xrd_run_write(XmlStream& out, const RodNode* run, bool ok) {
    if (rod_kind(run) != NodeKind::Run) {
        return;
    }
    out.put(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
        "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
        "<RUN TESTSUITE_PATH=\"");
    put_tree_text(out, rod_testsuite_path(run), XmlPlace::Attribute);
    out.put("\" AUTHOR=\"");
    out.put_text(author_name(), XmlPlace::Attribute, TextEncoding::Local8Bit);
    out.put("\" STATUS=\"");
    out.put(status_word(ok));
    out.put("\">\n");
}

void xrd_report_info_write(XmlStream& out, const RodNode* run) {
    if (rod_kind(run) != NodeKind::Run) {
        return;
    }
    out.put("\t<REPORT_INFO");
    put_field(out, " REPORT_NAME=\"", rod_name(run));
    put_field(out, " VERSION=\"", rod_version(run));
    put_field(out, " TOOL_VERSION=\"", rod_tool_version(run));
    put_field(out, " TARGET=\"", rod_target(run));
    put_field(out, " PTU_FILE_NAME=\"", rod_ptu_file_name(run));
    put_field(out, " PTU_VERSION=\"", rod_ptu_version(run));
    put_field(out, " SRC_FILE_NAME=\"", rod_src_file_name(run));
    put_field(out, " SRC_VERSION=\"", rod_src_version(run));
    put_field(out, " PREPRO_DATE=\"", rod_prepro_date(run));
    put_field(out, " RUN_DATE=\"", rod_run_date(run));
    put_field(out, " POSTPRO_DATE=\"", rod_postpro_date(run));
    out.put(">\n\t</REPORT_INFO>\n");
}

void xrd_run_info_write(XmlStream& out, const RodNode* run, bool ok, const RunOptions& options,
                        ConsoleEcho* echo) {
    if (rod_kind(run) != NodeKind::Run) {
        return;
    }
    xrd_report_info_write(out, run);
    if (!options.header_section.empty()) {
        out.put(options.header_section);
    }
    xrd_comment_write(out, rod_notes(run), "\t");
    EnvironmentCache environment;
    xrd_flush_comment(out, rod_notes(run), ok, "\t", environment, echo);
    xrd_coverage_write(out, rod_coverage_notes(run), "\t");
}
