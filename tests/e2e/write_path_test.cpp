// How a report reaches the disk: whole or not at all, and nothing else on
// disk touched, whatever sits at the temporary name, whatever the report is
// named, however many runs write it at once, and however the run ends.

#include "tests/e2e/tool_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using qtest::empty_report;
using qtest::kSmokeReport;
using qtest::kSmokeRod;
using qtest::ProcessResult;

// Another user, for entries that must not be taken for ours.
constexpr uid_t kStranger = 54321;
constexpr gid_t kStrangeGroup = 54321;

bool is_root() {
    return geteuid() == 0;
}

struct stat status_of(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

class WritePathTest : public qtest::ToolRunTest {
  protected:
    // Runs a shell script in the test's directory; $QUILLON is the tool.
    ProcessResult shell(const std::string& script) {
        qtest::Environment shell_env = env;
        shell_env["QUILLON"] = QUILLON_BINARY;
        return qtest::run_process("/bin/sh", {"-c", script}, shell_env, dir.path());
    }
    std::string path(const std::string& name) { return dir.file(name); }
};

// A squatter at "a.req.xml.tmp" is removed and the temporary file made
// afresh: the victim it points at, or shares a file with, keeps its bytes.
TEST_F(WritePathTest, TemporaryNameIsNeverFollowedOrReused) {
    struct Squatter {
        std::string what;
        std::function<void(const std::string& temporary, const std::string& victim)> make;
        bool needs_root;
    };
    const std::vector<Squatter> squatters = {
        {"symbolic link to a victim",
         [](const std::string& t, const std::string& v) {
             ASSERT_EQ(::symlink(v.c_str(), t.c_str()), 0);
         },
         false},
        {"hard link to a victim",
         [](const std::string& t, const std::string& v) {
             ASSERT_EQ(::link(v.c_str(), t.c_str()), 0);
         },
         false},
        {"FIFO",
         [](const std::string& t, const std::string&) { ASSERT_EQ(::mkfifo(t.c_str(), 0666), 0); },
         false},
        {"empty directory",
         [](const std::string& t, const std::string&) { ASSERT_EQ(::mkdir(t.c_str(), 0777), 0); },
         false},
        {"another user's file",
         [](const std::string& t, const std::string&) {
             qtest::write_file(t, "planted");
             ASSERT_EQ(::chmod(t.c_str(), 0666), 0);
             ASSERT_EQ(::chown(t.c_str(), kStranger, kStrangeGroup), 0);
         },
         true},
    };
    write("a.rod", kSmokeRod);
    for (const Squatter& squatter : squatters) {
        SCOPED_TRACE(squatter.what);
        if (squatter.needs_root && !is_root()) {
            continue;
        }
        write("victim", "victim's bytes");
        write("a.req.xml", "old report");
        std::filesystem::remove(path("run.log"));
        squatter.make(path("a.req.xml.tmp"), path("victim"));
        const ProcessResult result = run({"a.rod", "-lrun.log"});
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(read("a.req.xml"), kSmokeReport);
        EXPECT_EQ(read("victim"), "victim's bytes");
        EXPECT_EQ(read("run.log"), "REQ a.req.xml\n");
        EXPECT_FALSE(exists("a.req.xml.tmp"));
        const struct stat report = status_of(path("a.req.xml"));
        EXPECT_TRUE(S_ISREG(report.st_mode));
        EXPECT_EQ(report.st_uid, geteuid());
        EXPECT_EQ(report.st_nlink, 1u);
    }
}

TEST_F(WritePathTest, DevicesAndPipesAreWrittenIntoDirectoriesRefused) {
    write("a.rod", kSmokeRod);
    // A null device of our own where we may make one, so that a fault here
    // cannot replace the machine's /dev/null.
    std::string null_device = "/dev/null";
    if (is_root() && ::mknod(path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        null_device = path("null");
    }
    const ProcessResult to_null = run({"-o" + null_device, "a.rod", "-lrun.log"});
    EXPECT_EQ(to_null.exit_status, 0);
    EXPECT_EQ(to_null.err, "");
    EXPECT_TRUE(S_ISCHR(status_of(null_device).st_mode));
    EXPECT_FALSE(qtest::file_exists(null_device + ".tmp"));
    EXPECT_EQ(read("run.log"), "REQ " + null_device + "\n");

    // A link to standard output, as /dev/stdout is one: the report comes out
    // on the pipe the test reads, and the link stays.
    ASSERT_EQ(::symlink("/proc/self/fd/1", path("stdout").c_str()), 0);
    const ProcessResult to_stdout = run({"-ostdout", "a.rod"});
    EXPECT_EQ(to_stdout.exit_status, 0);
    EXPECT_EQ(to_stdout.err, "");
    EXPECT_EQ(to_stdout.out, kSmokeReport);
    EXPECT_TRUE(S_ISLNK(status_of(path("stdout")).st_mode));

    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    const ProcessResult to_fifo = shell("cat fifo > got & \"$QUILLON\" -ofifo a.rod; wait");
    EXPECT_EQ(to_fifo.exit_status, 0);
    EXPECT_EQ(to_fifo.err, "");
    EXPECT_EQ(read("got"), kSmokeReport);
    EXPECT_TRUE(S_ISFIFO(status_of(path("fifo")).st_mode));

    ASSERT_EQ(::mkdir(path("dir").c_str(), 0777), 0);
    const ProcessResult to_directory = run({"-odir", "a.rod", "-lrun.log"});
    EXPECT_EQ(to_directory.exit_status, 0);
    EXPECT_EQ(to_directory.err, "kvwxrd: Unable to open file \"dir\".\n");
    EXPECT_FALSE(exists("dir.tmp"));
    EXPECT_EQ(read("run.log"), "REQ " + null_device + "\n");
}

// Every way of naming an input as an output, by any spelling: the run is
// refused with status 255 before anything is read or written.
TEST_F(WritePathTest, OutputsNeverReplaceInputs) {
    struct Clash {
        std::vector<std::string> arguments;
        std::string err;
    };
    const std::string input_clash = " is an input file of this run; it is not overwritten.\n";
    const std::vector<Clash> clashes = {
        {{"-osuite.rod", "suite.rod"}, "kvwxrd: \"suite.rod\"" + input_clash},
        {{"-o./sub/../suite.rod", "suite.rod"}, "kvwxrd: \"./sub/../suite.rod\"" + input_clash},
        {{"-olink.rod", "suite.rod"}, "kvwxrd: \"link.rod\"" + input_clash},
        {{"-lsuite.rod", "suite.rod"}, "kvwxrd: \"suite.rod\"" + input_clash},
        {{"-hheader.txt", "-oheader.txt", "suite.rod"}, "kvwxrd: \"header.txt\"" + input_clash},
        {{"other.rod", "other.req.xml"}, "kvwxrd: \"other.req.xml\"" + input_clash},
        {{"-lsuite.req.xml", "suite.rod"},
         "kvwxrd: The log file \"suite.req.xml\" is also a report of this run.\n"},
        {{"-lsub/../out.xml", "-oout.xml", "suite.rod"},
         "kvwxrd: The log file \"sub/../out.xml\" is also a report of this run.\n"},
    };
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0777), 0);
    write("suite.rod", kSmokeRod);
    write("header.txt", "Target=x86\n");
    write_named_rod("other.rod", "other");
    write("other.req.xml", "KOVIN Merovia ROD: 1.1.0\n");
    ASSERT_EQ(::symlink("suite.rod", path("link.rod").c_str()), 0);
    for (const Clash& clash : clashes) {
        SCOPED_TRACE(clash.arguments.front());
        const ProcessResult result = run(clash.arguments);
        EXPECT_EQ(result.exit_status, 255);
        EXPECT_EQ(result.err, clash.err);
        EXPECT_EQ(read("suite.rod"), kSmokeRod);
        EXPECT_EQ(read("header.txt"), "Target=x86\n");
        EXPECT_EQ(read("other.req.xml"), "KOVIN Merovia ROD: 1.1.0\n");
        EXPECT_FALSE(exists("suite.req.xml"));
        EXPECT_FALSE(exists("out.xml"));
    }
}

// Two runs writing one report at once, round after round: each report that
// lands is one run's whole document, and neither run complains.
TEST_F(WritePathTest, ConcurrentRunsOnOneReportNeverMix) {
    std::string a = "KOVIN Merovia ROD: 1.1.0\nMO first\nNS s\nNT t\n";
    std::string b = "KOVIN Merovia ROD: 1.1.0\nMO second\nNS s\nNT t\n";
    for (int i = 0; i < 6000; ++i) {
        a += "RQ A_" + std::to_string(i) + " k=v\n";
        b += "CO comment " + std::to_string(i) + "\n";
    }
    write("a.rod", a);
    write("b.rod", b);
    ASSERT_EQ(run({"a.rod", "b.rod"}).exit_status, 0);
    const std::string expected_a = read("a.req.xml");
    const std::string expected_b = read("b.req.xml");
    constexpr int kRounds = 30;
    const ProcessResult result = shell(
        "i=0; while [ $i -lt " + std::to_string(kRounds) +
        " ]; do\n"
        "  \"$QUILLON\" -oout.xml a.rod -lrun.log & \"$QUILLON\" -oout.xml b.rod -lrun.log &\n"
        "  wait; cp out.xml round$i; i=$((i + 1))\n"
        "done");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    for (int i = 0; i < kRounds; ++i) {
        const std::string landed = read("round" + std::to_string(i));
        EXPECT_TRUE(landed == expected_a || landed == expected_b) << "round " << i;
    }
    std::string log;
    for (int i = 0; i < 2 * kRounds; ++i) {
        log += "REQ out.xml\n";
    }
    EXPECT_EQ(read("run.log"), log);
    EXPECT_FALSE(exists("out.xml.tmp"));
}

// The run is held while its report is being written (its -v echo, larger
// than a pipe holds, goes to a FIFO nobody reads) and then killed: the
// temporary file goes, the old report stays, and the process dies of the
// signal.
TEST_F(WritePathTest, SignalsRemoveTheTemporaryFileAndEndTheRun) {
    std::string rod = "KOVIN Merovia ROD: 1.1.0\nNS s\nNT t\n";
    for (int i = 0; i < 20000; ++i) {
        rod += "RQ REQ_" + std::to_string(i) + " a=1\n";
    }
    write("a.rod", rod + "RT CORRECT\n");
    write("a.req.xml", "old report");
    ASSERT_EQ(::mkfifo(path("echo").c_str(), 0666), 0);
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal_number);
        // env --default-signal: a shell starts background jobs with SIGINT
        // and SIGQUIT ignored, which the tool would rightly leave ignored.
        const ProcessResult result = shell(
            "exec 3<>echo\n"
            "env --default-signal \"$QUILLON\" -v a.rod -lrun.log >&3 & pid=$!\n"
            "while [ ! -e a.req.xml.tmp ]; do sleep 0.01; done\n"
            "kill -" +
            std::to_string(signal_number) + " $pid; wait $pid; echo $?");
        EXPECT_EQ(result.out, std::to_string(128 + signal_number) + "\n");
        EXPECT_FALSE(exists("a.req.xml.tmp"));
        EXPECT_EQ(read("a.req.xml"), "old report");
        EXPECT_EQ(read("run.log"), "");
    }
}

// A header file too large for the memory the run may have: the message, the
// old report unchanged, no temporary file, no log line, status 255, and the
// inputs after it not read.
TEST_F(WritePathTest, OutOfMemoryKeepsTheOldReportAndStopsTheRun) {
    write("a.rod", kSmokeRod);
    write("a.req.xml", "old report");
    write_named_rod("b.rod", "b");
    if (!qtest::address_space_limits_work()) {
        GTEST_SKIP() << "a sanitizer's shadow memory does not fit an address-space limit";
    }
    write("header", "Target=" + std::string(40 * 1024 * 1024, 'x') + "\n");
    const ProcessResult result = qtest::run_quillon({"-hheader", "a.rod", "b.rod", "-lrun.log"},
                                                    env, dir.path(), 120'000'000);
    EXPECT_EQ(result.exit_status, 255);
    EXPECT_EQ(result.err, "kvwxrd: Not enought memory.\n");
    EXPECT_EQ(read("a.req.xml"), "old report");
    EXPECT_FALSE(exists("a.req.xml.tmp"));
    EXPECT_FALSE(exists("b.req.xml"));
    EXPECT_EQ(read("run.log"), "");
}

TEST_F(WritePathTest, NewReportKeepsThePermissionsOfTheOldOne) {
    write("a.rod", kSmokeRod);
    write("a.req.xml", "old report");
    ASSERT_EQ(::chmod(path("a.req.xml").c_str(), 0600), 0);
    const bool other_group =
        is_root() && ::chown(path("a.req.xml").c_str(), -1, kStrangeGroup) == 0;
    EXPECT_EQ(run({"a.rod"}).exit_status, 0);
    const struct stat replaced = status_of(path("a.req.xml"));
    EXPECT_EQ(replaced.st_mode & 07777, 0600u);
    if (other_group) {
        EXPECT_EQ(replaced.st_gid, kStrangeGroup);
    }
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);

    // A new report: 0666 less the umask.
    write_named_rod("b.rod", "b");
    EXPECT_EQ(shell("umask 027; exec \"$QUILLON\" b.rod").exit_status, 0);
    EXPECT_EQ(status_of(path("b.req.xml")).st_mode & 07777, 0640u);
}

// The -v echo into a pipe nobody reads any more, or onto a full device:
// every report is still written, and the failure is said once.
TEST_F(WritePathTest, FailingEchoCostsNoReport) {
    write("a.rod", kSmokeRod);
    write("b.rod", kSmokeRod);
    const std::string echo_failed =
        "kvwxrd: Unable to write the requirement echo to standard output.\n";

    const ProcessResult full = shell("exec \"$QUILLON\" -v a.rod b.rod -lrun.log >/dev/full");
    EXPECT_EQ(full.exit_status, 0);
    EXPECT_EQ(full.err, echo_failed);

    // A pipe whose reader has gone before the tool starts.
    std::filesystem::remove(path("run.log"));
    std::filesystem::remove(path("a.req.xml"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        int pipe_ends[2];
        const int err = ::open(path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (::pipe(pipe_ends) != 0 || err < 0 || ::chdir(dir.path().c_str()) != 0) {
            ::_exit(126);
        }
        ::close(pipe_ends[0]);
        ::dup2(pipe_ends[1], 1);
        ::dup2(err, 2);
        ::setenv("QARVODIR", QUILLON_STAGE_DIR, 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::execl(QUILLON_BINARY, QUILLON_BINARY, "-v", "a.rod", "b.rod", "-lrun.log", nullptr);
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read("err"), echo_failed);
    EXPECT_EQ(read("a.req.xml"), read("b.req.xml"));
    EXPECT_EQ(read("run.log"), "REQ a.req.xml\nREQ b.req.xml\n");
}

// What only root can set up here: a report that cannot be replaced (a file
// mounted over it), and a log on a file system with no room left.
TEST_F(WritePathTest, FailedRenameAndTornLogLine) {
    if (!is_root()) {
        GTEST_SKIP() << "needs root to mount; the other write-path tests cover the rest";
    }
    write("a.rod", kSmokeRod);
    write("a.req.xml", "old report");
    write("cover", "covering file");
    if (::mount(path("cover").c_str(), path("a.req.xml").c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount here";
    }
    const ProcessResult renamed = run({"a.rod", "-lrun.log"});
    ::umount(path("a.req.xml").c_str());
    EXPECT_EQ(renamed.exit_status, 0);
    EXPECT_EQ(renamed.err, "kvwxrd: Unable to open file \"a.req.xml\".\n");
    EXPECT_EQ(read("a.req.xml"), "old report");
    EXPECT_EQ(read("a.req.xml.tmp"), kSmokeReport);
    EXPECT_EQ(read("run.log"), "");

    // A log whose last page has a few bytes free on a full file system: the
    // line does not fit whole, and what fitted is taken back.
    const std::string small = path("small");
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    ASSERT_EQ(::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k"), 0);
    const std::string log = small + "/run.log";
    const std::string earlier(4096 - 4, 'x');
    qtest::write_file(log, earlier);
    qtest::write_file(small + "/filler", std::string(3 * 4096, 'f'));
    std::filesystem::remove(path("a.req.xml.tmp"));
    const ProcessResult torn = run({"a.rod", "-l" + log});
    const std::string log_after = qtest::read_file(log);
    ::umount(small.c_str());
    EXPECT_EQ(torn.exit_status, 0);
    EXPECT_EQ(torn.err, "kvwxrd: Unable to write file \"" + log + "\".\n");
    EXPECT_EQ(log_after, earlier);
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
}

}  // namespace
