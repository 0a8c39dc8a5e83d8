// From the command line's inputs to the reports to read: ROD files stand for
// their reports (never opened), folders for every report below them, logs
// for the reports they list; each report once.

#include "campaign/inputs.h"
#include "tests/support/test_support.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Inputs, ReportNameOfARodFileFollowsQuillon) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.rod", "a.req.xml"}, {"dir/b.ROD", "dir/b.req.xml"}, {"c.Rod", "c.Rod.req.xml"},
        {"x", "x.req.xml"},     {".rod", ".rod.req.xml"},       {"r.rod.bak", "r.rod.bak.req.xml"},
    };
    for (const auto& [rod, report] : cases) {
        EXPECT_EQ(report_name_for_rod(rod), report);
    }
}

TEST(Inputs, ResolvesRodFilesFoldersAndLogsInOrderEachReportOnce) {
    qtest::TempDir dir;
    const std::string root = dir.path();
    const auto touch = [&](const std::string& name, int age_seconds) {
        const std::string path = root + "/" + name;
        qtest::write_file(path, "not read");
        const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - age_seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    };
    QDir(QString::fromStdString(root)).mkpath(QStringLiteral("deep/er"));
    QDir(QString::fromStdString(root)).mkpath(QStringLiteral("deep/.hidden"));
    touch("fresh.rod", 100);
    touch("fresh.req.xml", 50);
    touch("stale.ROD", 50);
    touch("stale.req.xml", 100);
    touch("lonely.rod", 0);
    touch("deep/er/z.req.xml", 0);
    touch("deep/a.req.xml", 0);
    touch("deep/.six.req.xml", 0);
    touch("deep/.hidden/two.req.xml", 0);
    touch("deep/caf\xe9.req.xml", 0);
    touch("deep/notes.xml", 0);
    touch("logged.req.xml", 100);
    touch("logged.rod", 50);
    std::filesystem::create_symlink(root + "/nowhere", root + "/deep/dangling.req.xml");
    QDir(QString::fromStdString(root)).mkpath(QStringLiteral("empty"));
    qtest::write_file(dir.file("run.log"), "REQ " + dir.file("fresh.req.xml") + "\nDUM x\nREQ " +
                                               dir.file("log.req.xml") + "\r\nREQ " +
                                               dir.file("deep/a.req.xml") + "\nREQ " +
                                               dir.file("logged.req.xml") + "\n");
    qtest::write_file(dir.file("empty.log"), "DUM only\n");

    const auto in = [&](const char* name) { return root + "/" + name; };
    const ResolvedInputs resolved =
        resolve_inputs({in("fresh.rod"), in("stale.ROD"), in("lonely.rod"), in("deep"), in("empty"),
                        in("gone.req.xml"), in("deep/./a.req.xml")},
                       {in("run.log"), in("empty.log"), in("no.log")});
    std::vector<std::pair<std::string, std::string>> reports;
    for (const ReportInput& input : resolved.reports) {
        reports.emplace_back(input.report, input.rod);
    }
    // Hidden entries and a name in no valid encoding are reports like the others.
    EXPECT_EQ(reports, (std::vector<std::pair<std::string, std::string>>{
                           {in("fresh.req.xml"), in("fresh.rod")},
                           {in("deep/.hidden/two.req.xml"), ""},
                           {in("deep/.six.req.xml"), ""},
                           {in("deep/a.req.xml"), ""},
                           {in("deep/caf\xe9.req.xml"), ""},
                           {in("deep/er/z.req.xml"), ""},
                           {in("log.req.xml"), ""},
                       }));
    const auto shown = [&](const char* name) { return QString::fromStdString(in(name)); };
    EXPECT_EQ(
        resolved.problems,
        QStringList(
            {shown("stale.ROD") + ": no report: " + shown("stale.req.xml") +
                 " is older than the ROD file",
             shown("lonely.rod") + ": no report: " + shown("lonely.req.xml") + " does not exist",
             shown("deep/dangling.req.xml") + ": cannot read: No such file or directory",
             shown("empty") + ": no report (*.req.xml) in this folder",
             shown("gone.req.xml") + ": no such file or folder",
             shown("logged.rod") + ": no report: " + shown("logged.req.xml") +
                 " is older than the ROD file",
             shown("empty.log") + ": the log lists no report",
             shown("no.log") + ": cannot read: No such file or directory"}));
}

}  // namespace
