// Memory running out wherever it may: the run ends with its message and
// status 255, or does its work; never a crash or an abort, and never a
// temporary report left behind.

#include "tests/e2e/tool_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using qtest::ProcessResult;

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kNoMemory = "kvwxrd: Not enought memory.\n";

class OutOfMemoryTest : public qtest::ToolRunTest {
  protected:
    void SetUp() override {
        if (!qtest::address_space_limits_work()) {
            GTEST_SKIP() << "a sanitizer's shadow memory does not fit an address-space limit";
        }
        write("a.rod", qtest::kSmokeRod);
    }

    ProcessResult run_limited(const std::vector<std::string>& arguments, std::size_t limit) {
        return qtest::run_quillon(arguments, env, dir.path(), limit);
    }

    // What a run under limit must give: its report, or the message and no
    // report at all.
    void expect_whole_or_nothing(const ProcessResult& result, const std::string& report) {
        if (result.exit_status == 0) {
            EXPECT_EQ(result.err, "");
            EXPECT_TRUE(read("a.req.xml") == report);
        } else {
            EXPECT_EQ(result.exit_status, 255);
            EXPECT_EQ(result.err, kNoMemory);
            EXPECT_EQ(read("a.req.xml"), "old report");
        }
        EXPECT_FALSE(exists("a.req.xml.tmp"));
    }
};

// A header key of tens of megabytes: its element name is made in the header
// section, at every limit from too little to read the file to enough.
TEST_F(OutOfMemoryTest, TheHeaderSectionEndsCleanlyAtEveryLimit) {
    const std::string key(16 * kMiB, 'k');
    write("header", key + "=v\n");
    std::string report = qtest::kSmokeReport;
    const std::string info_end = "\t</REPORT_INFO>\n";
    report.insert(report.find(info_end) + info_end.size(),
                  "\t<ENV_INFO " + std::string(key.size(), 'K') + "=\"v\">\n\t</ENV_INFO>\n");
    for (std::size_t limit = 60 * kMiB; limit <= 320 * kMiB; limit += 16 * kMiB) {
        SCOPED_TRACE(limit / kMiB);
        write("a.req.xml", "old report");
        expect_whole_or_nothing(run_limited({"-hheader", "a.rod"}, limit), report);
    }
    // Well-formed, but past the 4 KiB names Qt's XML reader takes.
    std::filesystem::remove(dir.file("a.req.xml"));
}

// Just above the least a run needs: memory runs out in the libraries'
// set-up and the application object's, before a report is begun. Below
// what the dynamic loader needs to map the program, or within a library's
// own start-up code (libgomp, which Qt's hashing loads, exits with 1), the
// program never runs; anything else is the program's to end cleanly.
TEST_F(OutOfMemoryTest, StartingUpEndsCleanlyAtEveryLimit) {
    ASSERT_EQ(run({"a.rod"}).exit_status, 0);
    const std::string report = read("a.req.xml");
    // The least limit at which a run does its work, to 64 KiB.
    std::size_t low = 8 * kMiB;
    std::size_t high = 1024 * kMiB;
    while (high - low > 64 * 1024) {
        const std::size_t middle = (low + high) / 2;
        (run_limited({"a.rod"}, middle).exit_status == 0 ? high : low) = middle;
    }
    for (std::size_t limit = high - 2 * kMiB; limit <= high; limit += 8 * 1024) {
        SCOPED_TRACE(limit);
        write("a.req.xml", "old report");
        const ProcessResult result = run_limited({"a.rod"}, limit);
        if (result.exit_status == 127 ||
            (result.exit_status == 1 &&
             result.err.find("libgomp: Out of memory") != std::string::npos)) {
            continue;  // not started: the loader's or a library's own message
        }
        expect_whole_or_nothing(result, report);
    }
}

}  // namespace
