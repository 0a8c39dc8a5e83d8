// The tool end to end: ROD files in, reports and log lines out, with the
// exit status and every byte of standard output and standard error.

#include "tests/e2e/tool_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

namespace {

using qtest::empty_report;
using qtest::kSmokeReport;
using qtest::kSmokeRod;
using qtest::ProcessResult;

using RunLoopTest = qtest::ToolRunTest;

TEST_F(RunLoopTest, ConvertsAnInputIntoItsReportAndLogsIt) {
    write("a.rod", kSmokeRod);
    const ProcessResult result = run({"a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
    EXPECT_EQ(read("run.log"), "REQ a.req.xml\n");
    EXPECT_FALSE(exists("a.req.xml.tmp"));
    expect_xml("a.req.xml");
}

TEST_F(RunLoopTest, ReportNamesFollowTheInputName) {
    std::filesystem::create_directory(dir.file("dir"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a.rod", "a.req.xml"}, {"dir/b.ROD", "dir/b.req.xml"}, {"c.Rod", "c.Rod.req.xml"},
        {"x", "x.req.xml"},     {".rod", ".rod.req.xml"},       {"r.rod.bak", "r.rod.bak.req.xml"},
    };
    std::vector<std::string> arguments = {"-lrun.log"};
    std::string log;
    for (const auto& [input, report] : cases) {
        write_named_rod(input, input);
        arguments.push_back(input);
        log += "REQ " + report + "\n";
    }
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    for (const auto& [input, report] : cases) {
        EXPECT_EQ(read(report), empty_report(input)) << input;
    }
    EXPECT_EQ(read("run.log"), log);
}

TEST_F(RunLoopTest, OutputOptionServesEveryInput) {
    write_named_rod("a.rod", "first");
    write_named_rod("b.rod", "second");
    const ProcessResult result = run({"-oout.xml", "a.rod", "b.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read("out.xml"), empty_report("second"));
    EXPECT_EQ(read("run.log"), "REQ out.xml\nREQ out.xml\n");
    EXPECT_FALSE(exists("a.req.xml"));
}

TEST_F(RunLoopTest, SeparatedOutputValueIsEmptyAndTheNameBecomesAnInput) {
    // "-o out.xml": the value is empty and out.xml is read as a ROD file. No
    // file can have the empty name: the report is refused before anything
    // is written.
    write_named_rod("a.rod", "first");
    const ProcessResult result = run({"-o", "out.xml", "a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err,
              "Qarvo-E-IMPOUVFIC: kvwrod: Unable to open file \"out.xml\".\n"
              "kvwxrd: Unable to open file \"\".\n");
    EXPECT_FALSE(exists(".tmp"));
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(RunLoopTest, UnreadableInputsAreSkippedAndTheRunGoesOn) {
    write("bad.rod", "not a ROD file\n");
    write_named_rod("good.rod", "good");
    const ProcessResult result = run({"missing.rod", "bad.rod", "good.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err,
              "Qarvo-E-IMPOUVFIC: kvwrod: Unable to open file \"missing.rod\".\n"
              "Qarvo-E-BADRODFIL: kvwrod: File \"bad.rod\" not recognized.\n\n");
    EXPECT_EQ(read("good.req.xml"), empty_report("good"));
    EXPECT_EQ(read("run.log"), "REQ good.req.xml\n");
    EXPECT_FALSE(exists("bad.req.xml"));
}

TEST_F(RunLoopTest, ReportInAMissingDirectoryNamesTheTemporaryFile) {
    write_named_rod("a.rod", "a");
    const ProcessResult result = run({"-onowhere/a.xml", "a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"nowhere/a.xml.tmp\".\n");
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(RunLoopTest, UnwritableLogFileIsReportedOnceTheReportIsInPlace) {
    // /dev/full opens for appending but takes no line.
    write("a.rod", kSmokeRod);
    const ProcessResult result = run({"a.rod", "-l/dev/full"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "kvwxrd: Unable to write file \"/dev/full\".\n");
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
}

TEST_F(RunLoopTest, FailedWriteIsReportedAndLogsNothing) {
    // A device is written straight into, and /dev/full takes nothing.
    write_named_rod("a.rod", "new");
    const ProcessResult result = run({"-o/dev/full", "a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "kvwxrd: Unable to write file \"/dev/full\".\n");
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(RunLoopTest, FullDeviceKeepsTheOldReport) {
    // A 64 KiB file system, when this machine lets the test mount one.
    const std::string mount_point = dir.file("small");
    ASSERT_EQ(::mkdir(mount_point.c_str(), 0755), 0);
    if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root); the /dev/full test covers "
                        "the write failure";
    }
    std::string rod = "KOVIN Merovia ROD: 1.1.0\nNS s\nNT t\n";
    for (int i = 0; i < 4000; ++i) {
        rod += "RQ REQ_" + std::to_string(i) + " a=1 b=2\n";
    }
    write("big.rod", rod + "RT OK\n");
    qtest::write_file(mount_point + "/big.req.xml", "old report");
    const ProcessResult result = run({"-osmall/big.req.xml", "big.rod", "-lrun.log"});
    const std::string old_report = qtest::read_file(mount_point + "/big.req.xml");
    const bool temporary_left = qtest::file_exists(mount_point + "/big.req.xml.tmp");
    ::umount(mount_point.c_str());
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "kvwxrd: Unable to write file \"small/big.req.xml.tmp\".\n");
    EXPECT_EQ(old_report, "old report");
    EXPECT_FALSE(temporary_left);
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(RunLoopTest, ExistingReportIsReplacedByTheCompleteNewOne) {
    write("a.rod", kSmokeRod);
    write("a.req.xml", "old report");
    write("a.req.xml.tmp", "stale temporary file, longer than the report would ever be");
    const ProcessResult result = run({"a.rod"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
    EXPECT_FALSE(exists("a.req.xml.tmp"));
}

TEST_F(RunLoopTest, ReportNamedLikeADirectoryIsRefusedBeforeAnythingIsWritten) {
    write("a.rod", kSmokeRod);
    ASSERT_EQ(::mkdir(dir.file("a.req.xml").c_str(), 0755), 0);
    const ProcessResult result = run({"a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "kvwxrd: Unable to open file \"a.req.xml\".\n");
    EXPECT_FALSE(exists("a.req.xml.tmp"));
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(RunLoopTest, VerboseEchoesEveryRequirementOnStandardOutput) {
    write("a.rod",
          "KOVIN Merovia ROD: 1.1.0\n"
          "NS s\n"
          "RQ SRV_1; owner:$OWNER; 2\n"
          "NT t\n"
          "RQ T_1\n"
          "RT INCORRECT\n");
    env["OWNER"] = "qa";
    const ProcessResult result = run({"-v", "a.rod"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "SRV_1, status:KO, owner:qa, 2\nT_1, status:KO\n");
}

// Started with standard descriptors closed, the run gives its files none of
// them: the echo (large enough to be written while the report is) and the
// messages go nowhere rather than into the report.
TEST_F(RunLoopTest, ClosedStandardDescriptorsGetNoFileOfTheRun) {
    std::string rod = "KOVIN Merovia ROD: 1.1.0\nNS s\nNT t\n";
    for (int i = 0; i < 5000; ++i) {
        rod += "RQ REQ_" + std::to_string(i) + " a=1\n";
    }
    write("a.rod", rod + "RT CORRECT\n");
    ASSERT_EQ(run({"a.rod"}).exit_status, 0);
    const std::string expected = read("a.req.xml");
    for (const std::string closed : {"<&- >&-", ">&-", "<&- >&- 2>&-", ">&- 2>&-"}) {
        SCOPED_TRACE(closed);
        const ProcessResult result = qtest::run_process(
            "/bin/sh", {"-c", "exec \"$0\" \"$@\" " + closed, QUILLON_BINARY, "-v", "a.rod"}, env,
            dir.path());
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(read("a.req.xml") == expected);
    }
}

// Runs sharing a log append under its lock: while another holds it the run
// waits, so that taking back a torn line can never cut lines of the others.
TEST_F(RunLoopTest, LogLinesWaitForTheLogsLock) {
    write("a.rod", kSmokeRod);
    write("run.log", "REQ other.req.xml\n");
    const int log = ::open(dir.file("run.log").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(log, 0);
    ASSERT_EQ(::flock(log, LOCK_EX), 0);
    std::future<ProcessResult> running = std::async(std::launch::async, [&] {
        return run({"a.rod", "-lrun.log"});
    });
    const bool finished =
        running.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready;
    EXPECT_FALSE(finished);
    EXPECT_EQ(read("run.log"), "REQ other.req.xml\n");
    ::flock(log, LOCK_UN);
    ::close(log);
    const ProcessResult result = running.get();
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read("run.log"), "REQ other.req.xml\nREQ a.req.xml\n");
}

}  // namespace
