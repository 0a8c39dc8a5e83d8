// From the command line's inputs to the reports to read: ROD files stand for
// their reports (never opened), folders for every report below them, logs
// for the reports they list; each report once.

#include "campaign/inputs.h"
#include "tests/support/test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(Inputs, ReportNameOfARodFileFollowsQuillon) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.rod", "a.req.xml"}, {"dir/b.ROD", "dir/b.req.xml"}, {"c.Rod", "c.Rod.req.xml"},
        {"x", "x.req.xml"},     {".rod", ".rod.req.xml"},       {"r.rod.bak", "r.rod.bak.req.xml"},
    };
    for (const auto& [rod, report] : cases) {
        EXPECT_EQ(report_name_for_rod(QString::fromLatin1(rod)).toStdString(), report);
    }
}

TEST(Inputs, ResolvesRodFilesFoldersAndLogsInOrderEachReportOnce) {
    qtest::TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const auto touch = [&](const QString& name, int age_seconds) {
        qtest::write_file((root + "/" + name).toStdString(), "not read");
        QFile file(root + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-age_seconds),
                         QFileDevice::FileModificationTime);
    };
    QDir(root).mkpath(QStringLiteral("deep/er"));
    touch(QStringLiteral("fresh.rod"), 100);
    touch(QStringLiteral("fresh.req.xml"), 50);
    touch(QStringLiteral("stale.ROD"), 50);
    touch(QStringLiteral("stale.req.xml"), 100);
    touch(QStringLiteral("lonely.rod"), 0);
    touch(QStringLiteral("deep/er/z.req.xml"), 0);
    touch(QStringLiteral("deep/a.req.xml"), 0);
    touch(QStringLiteral("deep/notes.xml"), 0);
    QDir(root).mkpath(QStringLiteral("empty"));
    qtest::write_file(dir.file("run.log"), "REQ " + dir.file("fresh.req.xml") + "\nDUM x\nREQ " +
                                               dir.file("log.req.xml") + "\r\nREQ " +
                                               dir.file("deep/a.req.xml") + "\n");
    qtest::write_file(dir.file("empty.log"), "DUM only\n");

    const auto in = [&](const char* name) { return root + "/" + QString::fromLatin1(name); };
    const ResolvedInputs resolved =
        resolve_inputs({in("fresh.rod"), in("stale.ROD"), in("lonely.rod"), in("deep"), in("empty"),
                        in("gone.req.xml"), in("deep/./a.req.xml")},
                       {in("run.log"), in("empty.log"), in("no.log")});
    EXPECT_EQ(resolved.reports, QStringList({in("fresh.req.xml"), in("deep/a.req.xml"),
                                             in("deep/er/z.req.xml"), in("log.req.xml")}));
    EXPECT_EQ(
        resolved.problems,
        QStringList({in("stale.ROD") + ": no report: " + in("stale.req.xml") +
                         " is older than the ROD file",
                     in("lonely.rod") + ": no report: " + in("lonely.req.xml") + " does not exist",
                     in("empty") + ": no report (*.req.xml) in this folder",
                     in("gone.req.xml") + ": no such file or folder",
                     in("empty.log") + ": the log lists no report",
                     in("no.log") + ": cannot read: No such file or directory"}));
}

}  // namespace
