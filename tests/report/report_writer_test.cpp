#include "report/report_writer.h"

#include "report_test_trees.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

// The caller may let go of the tree once the document is complete: the
// callback comes once, after the last byte and before the report replaces
// the old one, and the report that lands is the whole document. A report
// that cannot be opened never calls it, and answers why without a word on
// standard error: saying it is the driver's.
TEST(ReportWriter, TheTreeIsLetGoAfterTheDocumentBeforeThePlacing) {
    rtest::TreeBuilder tree;
    RodTestNode* test = tree.test(tree.service("svc", "unit"), "t1");
    tree.note(test->notes, 'R', "REQ_1; level=A");
    const std::string document = rtest::write_document(tree.run_node());
    qtest::TempDir dir;
    const std::string report = dir.file("suite.req.xml");
    qtest::write_file(report, "old report");
    int calls = 0;
    const ReportOutcome outcome =
        xrd_report_write(report.c_str(), tree.run_node(), {}, nullptr, [&] {
            ++calls;
            EXPECT_EQ(qtest::read_file(report), "old report");
            EXPECT_EQ(qtest::read_file(report + ".tmp"), document);
        });
    EXPECT_EQ(outcome.status, ReportStatus::Written);
    EXPECT_FALSE(outcome.problem);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(qtest::read_file(report), document);

    calls = 0;
    const std::string unopenable = dir.file("missing/suite.req.xml");
    const std::string errors = qtest::capture_stderr([&] {
        const ReportOutcome failed =
            xrd_report_write(unopenable.c_str(), tree.run_node(), {}, nullptr, [&] { ++calls; });
        EXPECT_EQ(failed.status, ReportStatus::Failed);
        EXPECT_EQ(failed.problem.kind, FileProblem::Kind::Open);
        EXPECT_EQ(failed.problem.file, unopenable + ".tmp");
    });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(errors, "");
}

}  // namespace
