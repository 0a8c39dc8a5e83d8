#include "campaign/html_provenance.h"

#include "campaign/html_text.h"
#include "campaign/messages.h"

namespace {

void fact(XmlStream& out, const char* name, std::string_view value, const char* cls = nullptr) {
    out.put("<dt>");
    out.put(name);
    out.put("</dt><dd");
    if (cls) {
        out.put(" class=\"");
        out.put(cls);
        out.put("\"");
    }
    out.put(">");
    append_html(out, value);
    out.put("</dd>");
}

void cell(XmlStream& out, std::string_view text, const char* cls = nullptr) {
    out.put(cls ? "<td class=\"" : "<td");
    if (cls) {
        out.put(cls);
        out.put("\"");
    }
    out.put(">");
    append_html(out, text);
    out.put("</td>");
}

}  // namespace

void write_provenance_section(XmlStream& out, const Campaign& campaign,
                              const CampaignProvenance& provenance) {
    out.put("<section class=\"card\" id=\"provenance\"><h2>Provenance</h2><dl class=\"facts\">");
    fact(out, "Generated", provenance.generated);
    fact(out, "Tool", "quillon-campaign " + provenance.tool_version);
    fact(out, "Command line", shown_command_line(provenance.arguments), "path");
    if (!provenance.baseline.empty()) {
        fact(out, "Baseline", shown_file_name(provenance.baseline).toStdString(), "path");
        fact(out, "Baseline generated",
             provenance.baseline_generated.empty() ? "not recorded in the baseline"
                                                   : provenance.baseline_generated);
    }
    out.put("</dl><details id=\"inputs\"><summary>");
    out.put_int(static_cast<long long>(campaign.reports.size()));
    out.put(campaign.reports.size() == 1 ? " report read" : " reports read");
    out.put(
        "</summary><div class=\"scroll\"><table class=\"inputs\"><thead><tr><th>Report</th>"
        "<th>File</th><th>Bytes</th><th>SHA-256</th><th>Run date</th><th>Target</th>"
        "<th>Suite path</th></tr></thead><tbody>");
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        out.put("<tr>");
        cell(out, campaign.report_keys[r]);
        cell(out, shown_file_name(report.path).toStdString(), "path");
        out.put("<td class=\"num\">");
        out.put_int(report.provenance.size);
        out.put("</td>");
        cell(out, report.provenance.sha256, "path sha");
        cell(out, report.provenance.run_date);
        cell(out, report.provenance.target);
        cell(out, report.provenance.suite_path, "path");
        out.put("</tr>");
    }
    out.put("</tbody></table></div></details></section>\n");
}
