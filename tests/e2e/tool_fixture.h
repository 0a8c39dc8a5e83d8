#pragma once
// What the end-to-end tests share: a small ROD file and its report, the
// report of a ROD file that holds only its name, and a fixture that runs the
// tool in a directory of its own.

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qtest {

inline const std::string kSmokeRod =
    "KOVIN Merovia ROD: 1.1.0\n"
    "MO smoke\n"
    "NS svc\n"
    "NT t1\n"
    "RQ R1 a=1\n"
    "RT CORRECT\n";

inline const std::string kSmokeReport =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
    "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
    "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"tester\" STATUS=\"OK\">\n"
    "\t<REPORT_INFO REPORT_NAME=\"smoke\">\n"
    "\t</REPORT_INFO>\n"
    "\t<SERVICE NAME=\"svc\" TYPE=\"\" STATUS=\"OK\" NB_VALID=\"1\" NB_INVALID=\"0\" "
    "NB_TEST=\"1\" >\n"
    "\t\t<TEST NAME=\"t1\" STATUS=\"OK\" >\n"
    "\t\t\t<REQUIREMENTS>\n"
    "\t\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"a=1\">\n"
    "\t\t\t\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
    "\t\t\t\t\t</ATTRIBUTE>\n"
    "\t\t\t\t</REQUIREMENT>\n"
    "\t\t\t</REQUIREMENTS>\n"
    "\t\t</TEST>\n"
    "\t</SERVICE>\n"
    "</RUN>";

// The report of a ROD file holding only a header line and an MO record.
inline std::string empty_report(const std::string& report_name) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
           "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
           "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"tester\" STATUS=\"OK\">\n"
           "\t<REPORT_INFO REPORT_NAME=\"" +
           report_name +
           "\">\n"
           "\t</REPORT_INFO>\n"
           "</RUN>";
}

// A test that runs the tool in a directory of its own; whatever the test
// leaves there that holds a report must parse as XML.
class ToolRunTest : public testing::Test {
  protected:
    TempDir dir;
    Environment env = default_tool_environment();

    ProcessResult run(const std::vector<std::string>& arguments) {
        return run_quillon(arguments, env, dir.path());
    }
    void write(const std::string& name, const std::string& bytes) {
        write_file(dir.file(name), bytes);
    }
    void write_named_rod(const std::string& name, const std::string& report_name) {
        write(name, "KOVIN Merovia ROD: 1.1.0\nMO " + report_name + "\n");
    }
    std::string read(const std::string& name) { return read_file(dir.file(name)); }
    bool exists(const std::string& name) { return file_exists(dir.file(name)); }

    // Every report a test produces must parse.
    void expect_xml(const std::string& name) {
        std::string error;
        EXPECT_TRUE(parses_as_xml(read(name), &error)) << name << ": " << error;
    }

    // Whatever the test left behind: every file that holds a report, under
    // its own name or a temporary one, parses as XML.
    void TearDown() override {
        namespace fs = std::filesystem;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
            if (!entry.is_regular_file()) {
                continue;
            }
            const std::string text = read_file(entry.path().string());
            if (text.starts_with("<?xml")) {
                std::string error;
                EXPECT_TRUE(parses_as_xml(text, &error)) << entry.path() << ": " << error;
            }
        }
    }
};

}  // namespace qtest
