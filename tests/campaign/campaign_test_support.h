#pragma once
// What the campaign tests share: where their fixtures are, running the built
// quillon-campaign, and reports written from a few lines of text.

#include "tests/support/test_support.h"

#include <string>
#include <vector>

namespace ctest {

inline const std::string kData = std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/data/";
inline const std::string kExpected = std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/expected/";

inline qtest::ProcessResult run_campaign_tool(const std::vector<std::string>& arguments,
                                              const std::string& cwd, qtest::Environment env = {}) {
    if (env.empty()) {
        env = qtest::default_tool_environment();
    }
    return qtest::run_process(QUILLON_CAMPAIGN_BINARY, arguments, env, cwd);
}

// A report with one service "s" whose tests are given as name and verdict,
// each carrying the requirement named in req (none when empty).
struct TestLine {
    std::string name;
    std::string status;
    std::string req;
};

inline std::string report_xml(const std::string& name, const std::string& run_status,
                              const std::vector<TestLine>& tests) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RUN STATUS=\"" + run_status +
                      "\">\n<REPORT_INFO REPORT_NAME=\"" + name + "\"></REPORT_INFO>\n" +
                      "<SERVICE NAME=\"s\" STATUS=\"OK\">\n";
    for (const TestLine& t : tests) {
        xml += "<TEST NAME=\"" + t.name + "\" STATUS=\"" + t.status + "\">";
        if (!t.req.empty()) {
            xml += "<REQUIREMENTS><REQUIREMENT NAME=\"" + t.req + "\" STATUS=\"" + t.status +
                   "\" VALUE=\"\"></REQUIREMENT></REQUIREMENTS>";
        }
        xml += "</TEST>\n";
    }
    return xml + "</SERVICE>\n</RUN>";
}

}  // namespace ctest
