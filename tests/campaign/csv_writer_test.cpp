// The requirement matrix as CSV: quoting, and cells a spreadsheet would run
// as formulas, which are neutralised.

#include "campaign/csv_writer.h"

#include <gtest/gtest.h>

namespace {

std::string row_of(const std::string& id, const std::string& report_name) {
    ReportResult report;
    report.name = report_name;
    report.path = "r.req.xml";
    report.requirements = {{report.add_text(id), {}, true, -1, -1, {}}};
    XmlStream csv;
    write_campaign_csv(csv, build_campaign({report}, std::nullopt, {}));
    const std::string text = csv.text();
    return text.substr(text.find("\r\n") + 2);
}

TEST(CampaignCsv, FormulaCellsGetALeadingQuoteAndOthersStayAsTheyAre) {
    const struct {
        const char* id;
        const char* report;
        const char* row;
    } cases[] = {
        {"=HYPERLINK(\"http://x\")", "R", "\"'=HYPERLINK(\"\"http://x\"\")\",,OK,1,0,,R (OK)\r\n"},
        {"+1", "R", "'+1,,OK,1,0,,R (OK)\r\n"},
        {"-1", "R", "'-1,,OK,1,0,,R (OK)\r\n"},
        {"@SUM(A1)", "R", "'@SUM(A1),,OK,1,0,,R (OK)\r\n"},
        {"\tX", "R", "'\tX,,OK,1,0,,R (OK)\r\n"},
        {"\rX", "R", "\"'\rX\",,OK,1,0,,R (OK)\r\n"},
        {"LLR_1", "=cmd|' /C calc'!A0", "LLR_1,,OK,1,0,,'=cmd|' /C calc'!A0 (OK)\r\n"},
        {"A=1", "R, 2", "A=1,,OK,1,0,,\"R, 2 (OK)\"\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(row_of(c.id, c.report), c.row) << c.id;
    }
}

}  // namespace
