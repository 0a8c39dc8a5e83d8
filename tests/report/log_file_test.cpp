#include "report/log_file.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A log line lands whole, or the answer says why it did not (and nothing
// is said on standard error: that is the driver's).
TEST(LogFile, AppendsTheLineOrAnswersWhyNot) {
    qtest::TempDir dir;
    const std::string log = dir.file("run.log");
    qtest::write_file(log, "REQ earlier.req.xml\n");
    struct Case {
        std::string log;
        FileProblem::Kind expected;
    };
    const Case cases[] = {
        {log, FileProblem::Kind::None},
        {dir.path(), FileProblem::Kind::Open},  // a folder
        {"/dev/full", FileProblem::Kind::Write},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        FileProblem problem;
        const std::string errors =
            qtest::capture_stderr([&] { problem = append_log_line(c.log.c_str(), "a.req.xml"); });
        EXPECT_EQ(problem.kind, c.expected);
        EXPECT_EQ(problem.file, problem ? c.log : "");
        EXPECT_EQ(errors, "");
    }
    EXPECT_EQ(qtest::read_file(log), "REQ earlier.req.xml\nREQ a.req.xml\n");
}

}  // namespace
