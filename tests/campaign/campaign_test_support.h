#pragma once
// What the campaign tests share: where their fixtures are, running the built
// quillon-campaign, and reports written from a few lines of text.

#include "tests/support/test_support.h"

#include <string>
#include <utility>
#include <vector>

namespace ctest {

inline const std::string kData = std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/data/";
inline const std::string kExpected = std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/expected/";

// The time the outputs say they were made when the environment is the
// default one, so that they can be compared byte for byte.
inline const std::string kGenerated = "1796759702";  // 2026-12-08T19:55:02Z

inline qtest::ProcessResult run_campaign_tool(const std::vector<std::string>& arguments,
                                              const std::string& cwd, qtest::Environment env = {}) {
    if (env.empty()) {
        env = qtest::default_tool_environment();
        env["SOURCE_DATE_EPOCH"] = kGenerated;
    }
    return qtest::run_process(QUILLON_CAMPAIGN_BINARY, arguments, env, cwd);
}

// text with every path replaced by its placeholder: outputs that quote the
// command line name the test's own folders.
inline std::string with_placeholders(
    std::string text, const std::vector<std::pair<std::string, std::string>>& paths) {
    for (const auto& [path, placeholder] : paths) {
        for (std::size_t at = text.find(path); at != std::string::npos;
             at = text.find(path, at + placeholder.size())) {
            text.replace(at, path.size(), placeholder);
        }
    }
    return text;
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
