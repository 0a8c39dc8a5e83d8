// How a report reaches the disk: whole or not at all, and nothing else on
// disk touched, whatever sits at the temporary name, whatever the report is
// named, however many runs write it at once, and however the run ends.

#include "tests/e2e/tool_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstddef>
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

// Runs the rest of a shell command line as an unprivileged user (nobody),
// for the cases where two users share a folder.
const std::string kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

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

    // The folder as one that other users can write to, without the sticky
    // bit: any of them may rename or remove what is in it.
    void share_folder() { ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0); }

    // Runs the tool where flock fails with ENOLCK, as on NFS without a lock
    // manager; standard output and error go to the files "out" and "err".
    int run_without_locks(const std::vector<std::string>& arguments) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out < 0 || err < 0 || ::chdir(dir.path().c_str()) != 0) {
                ::_exit(126);
            }
            ::dup2(out, 1);
            ::dup2(err, 2);
            sock_filter filter[] = {
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_flock, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOLCK),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            };
            const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
            if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
                ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
                ::_exit(125);
            }
            std::vector<std::string> words = {QUILLON_BINARY};
            words.insert(words.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            ::setenv("QARVODIR", QUILLON_STAGE_DIR, 1);
            ::setenv("LC_ALL", "C.UTF-8", 1);
            ::setenv("USER", "tester", 1);
            ::execv(QUILLON_BINARY, argv.data());
            ::_exit(127);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
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
        // The temporary name beside a report is an output too.
        {{"-hsuite.req.xml.tmp", "suite.rod"}, "kvwxrd: \"suite.req.xml.tmp\"" + input_clash},
        {{"suite.rod", "-lsuite.req.xml.tmp"}, "kvwxrd: \"suite.req.xml.tmp\"" + input_clash},
        {{"-osub/../suite.req.xml", "suite.rod", "suite.req.xml.tmp"},
         "kvwxrd: \"sub/../suite.req.xml.tmp\"" + input_clash},
        // A link of ours leading to the log, not made yet: the report would
        // be written through it once the run has made the log.
        {{"-odangling", "-lrun.log", "suite.rod"},
         "kvwxrd: The log file \"run.log\" is also a report of this run.\n"},
    };
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0777), 0);
    write("suite.rod", kSmokeRod);
    write("header.txt", "Target=x86\n");
    write_named_rod("other.rod", "other");
    write("other.req.xml", "KOVIN Merovia ROD: 1.1.0\n");
    ASSERT_EQ(::symlink("suite.rod", path("link.rod").c_str()), 0);
    write("suite.req.xml.tmp", "Target=x86\n");
    ASSERT_EQ(::symlink("run.log", path("dangling").c_str()), 0);
    for (const Clash& clash : clashes) {
        SCOPED_TRACE(clash.arguments.front());
        const ProcessResult result = run(clash.arguments);
        EXPECT_EQ(result.exit_status, 255);
        EXPECT_EQ(result.err, clash.err);
        EXPECT_EQ(read("suite.rod"), kSmokeRod);
        EXPECT_EQ(read("header.txt"), "Target=x86\n");
        EXPECT_EQ(read("suite.req.xml.tmp"), "Target=x86\n");
        EXPECT_EQ(read("other.req.xml"), "KOVIN Merovia ROD: 1.1.0\n");
        EXPECT_FALSE(exists("suite.req.xml"));
        EXPECT_FALSE(exists("out.xml"));
        EXPECT_FALSE(exists("run.log"));
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
    write("a.rod", a + "RT OK\n");
    write("b.rod", b + "RT OK\n");
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
    // Root replacing another user's report leaves it that user's.
    const bool other_owner =
        is_root() && ::chown(path("a.req.xml").c_str(), kStranger, kStrangeGroup) == 0;
    EXPECT_EQ(run({"a.rod"}).exit_status, 0);
    const struct stat replaced = status_of(path("a.req.xml"));
    EXPECT_EQ(replaced.st_mode & 07777, 0600u);
    if (other_owner) {
        EXPECT_EQ(replaced.st_uid, kStranger);
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
    EXPECT_EQ(renamed.err,
              "kvwxrd: Unable to rename \"a.req.xml.tmp\" over the report; the new report is "
              "kept under that name.\n");
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

// A report named by a descriptor of the run (standard output appended to
// a file) goes into that descriptor: the file is appended to, never
// replaced.
TEST_F(WritePathTest, DescriptorNamesAreWrittenThrough) {
    write("a.rod", kSmokeRod);
    for (const std::string name :
         {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "/proc/thread-self/fd/1"}) {
        SCOPED_TRACE(name);
        write("acc.txt", "earlier\n");
        std::filesystem::remove(path("run.log"));
        const ino_t before = status_of(path("acc.txt")).st_ino;
        const ProcessResult result =
            shell("exec \"$QUILLON\" -o" + name + " a.rod -lrun.log >> acc.txt");
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(read("acc.txt"), "earlier\n" + kSmokeReport);
        EXPECT_EQ(status_of(path("acc.txt")).st_ino, before);
        EXPECT_EQ(read("run.log"), "REQ " + name + "\n");
    }
}

// A chain of links at the report name is followed only when every link in
// it, folders on the way included, is ours or root's; otherwise the first
// link is replaced, and the file at the end of the chain keeps its bytes.
TEST_F(WritePathTest, LinkChainsAreFollowedOnlyWhenEveryLinkIsTrusted) {
    if (!is_root()) {
        GTEST_SKIP() << "needs root to give a link to another user";
    }
    struct Link {
        std::string name;
        std::string text;
        bool strangers;
    };
    struct Chain {
        std::string what;
        std::vector<Link> links;  // "first" leads to "victim", a plain file
        std::string report_at;    // where the report lands
    };
    const std::vector<Chain> chains = {
        {"links of ours", {{"first", "middle", false}, {"middle", "victim", false}}, "victim"},
        {"another user's link in the middle",
         {{"first", "middle", false}, {"middle", "victim", true}},
         "first"},
        {"another user's folder link on the way",
         {{"first", "folder/victim", false}, {"folder", ".", true}},
         "first"},
    };
    write("a.rod", kSmokeRod);
    for (const Chain& chain : chains) {
        SCOPED_TRACE(chain.what);
        for (const char* name : {"first", "middle", "folder", "victim"}) {
            std::filesystem::remove(path(name));
        }
        write("victim", "victim's bytes");
        ASSERT_EQ(::chmod(path("victim").c_str(), 0600), 0);
        for (const Link& link : chain.links) {
            ASSERT_EQ(::symlink(link.text.c_str(), path(link.name).c_str()), 0);
            if (link.strangers) {
                ASSERT_EQ(::lchown(path(link.name).c_str(), kStranger, kStrangeGroup), 0);
            }
        }
        const ProcessResult result = run({"-ofirst", "a.rod"});
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(read(chain.report_at), kSmokeReport);
        if (chain.report_at == "first") {
            EXPECT_EQ(read("victim"), "victim's bytes");
            EXPECT_TRUE(S_ISREG(status_of(path("first")).st_mode));
        }
    }
}

// What is swapped under a run while its report is being written (the run
// is held by its header file, a FIFO): the report goes where the folder
// opened at the start is, and never is another file renamed into place.
TEST_F(WritePathTest, SwapsDuringTheRunNeverLandAStrangersFile) {
    struct Swap {
        std::string what;
        std::string script;  // run while the report is being written
        std::string err;
        std::string landed;  // where the report lands, "" for nowhere
        std::string log;
    };
    const std::vector<Swap> swaps = {
        {"the folder", "mv sub moved; mkdir sub; echo stranger > sub/a.req.xml.tmp", "",
         "moved/a.req.xml", "REQ sub/a.req.xml\n"},
        {"the temporary file", "mv sub/a.req.xml.tmp ours; echo stranger > sub/a.req.xml.tmp",
         "kvwxrd: \"sub/a.req.xml.tmp\" was replaced by another file while the report was "
         "written; the report is not put in place.\n",
         "", ""},
    };
    // The -v echo into a FIFO nobody reads yet holds the run mid-report.
    std::string rod = "KOVIN Merovia ROD: 1.1.0\nNS s\nNT t\n";
    for (int i = 0; i < 20000; ++i) {
        rod += "RQ REQ_" + std::to_string(i) + " a=1\n";
    }
    write("a.rod", rod + "RT CORRECT\n");
    ASSERT_EQ(run({"-oexpected", "a.rod"}).exit_status, 0);
    for (const Swap& swap : swaps) {
        SCOPED_TRACE(swap.what);
        std::filesystem::remove_all(path("sub"));
        std::filesystem::remove_all(path("moved"));
        std::filesystem::remove(path("ours"));
        std::filesystem::remove(path("echo"));
        ASSERT_EQ(::mkdir(path("sub").c_str(), 0777), 0);
        write("sub/a.req.xml", "old report");
        write("run.log", "");
        ASSERT_EQ(::mkfifo(path("echo").c_str(), 0666), 0);
        const ProcessResult result = shell(
            "exec 3<>echo\n"
            "\"$QUILLON\" -v -osub/a.req.xml a.rod -lrun.log >&3 & pid=$!\n"
            "while [ ! -e sub/a.req.xml.tmp ]; do sleep 0.01; done\n" +
            swap.script +
            "\ncat <&3 >/dev/null & drain=$!\nwait $pid; status=$?; kill $drain; exit $status");
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, swap.err);
        EXPECT_EQ(read("sub/a.req.xml.tmp"), "stranger\n");
        EXPECT_FALSE(exists("sub/a.req.xml") && read("sub/a.req.xml") == "stranger\n");
        if (!swap.landed.empty()) {
            EXPECT_EQ(read(swap.landed), read("expected"));
        } else {
            EXPECT_EQ(read("sub/a.req.xml"), "old report");
        }
        EXPECT_EQ(read("run.log"), swap.log);
    }
}

// Another user's run is writing the report (its temporary file is locked):
// root waits for it instead of removing the file from under it, then
// writes its own report.
TEST_F(WritePathTest, AnotherUsersLiveTemporaryFileIsWaitedFor) {
    if (!is_root()) {
        GTEST_SKIP() << "needs root to run a writer as another user";
    }
    share_folder();
    write("a.rod", kSmokeRod);
    const ProcessResult result =
        shell(kAsNobody +
              "sh -c 'printf partial > a.req.xml.tmp; exec flock a.req.xml.tmp sh -c "
              "\"touch held; sleep 1; mv a.req.xml.tmp a.req.xml\"' & other=$!\n"
              "while [ ! -e held ]; do sleep 0.01; done\n"
              "\"$QUILLON\" a.rod -lrun.log; echo $?; wait $other; echo $?");
    EXPECT_EQ(result.out, "0\n0\n");  // both runs put their report in place
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
    EXPECT_EQ(read("run.log"), "REQ a.req.xml\n");
    EXPECT_FALSE(exists("a.req.xml.tmp"));
}

// A plain file at the temporary name that this user cannot open, so cannot
// lock: it may be being written, so it stays, and the report fails.
TEST_F(WritePathTest, TemporaryFileThatCannotBeLockedIsLeftInPlace) {
    if (!is_root()) {
        GTEST_SKIP() << "needs root to run the tool as another user";
    }
    share_folder();
    write("a.rod", kSmokeRod);
    write("a.req.xml", "old report");
    write("a.req.xml.tmp", "busy");
    ASSERT_EQ(::chmod(path("a.req.xml.tmp").c_str(), 0600), 0);
    const ProcessResult result = shell(kAsNobody + "\"$QUILLON\" a.rod -lrun.log");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err,
              "kvwxrd: \"a.req.xml.tmp\" may be another run's report being written and cannot be "
              "locked; it is left in place.\n");
    EXPECT_EQ(read("a.req.xml.tmp"), "busy");
    EXPECT_EQ(read("a.req.xml"), "old report");
    EXPECT_EQ(read("run.log"), "");
}

// A report name as long as a name may be: its temporary name is shortened.
TEST_F(WritePathTest, LongestReportNameIsWritten) {
    write("a.rod", kSmokeRod);
    const std::string name(NAME_MAX, 'r');
    const ProcessResult result = run({"-o" + name, "a.rod", "-lrun.log"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read(name), kSmokeReport);
    EXPECT_EQ(read("run.log"), "REQ " + name + "\n");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a.rod", name, "run.log"}));
}

// Where no lock can be had, reports are still written, and that is said
// once for the run.
TEST_F(WritePathTest, WithoutLocksReportsAreWrittenAndThatIsSaidOnce) {
    write("a.rod", kSmokeRod);
    write_named_rod("b.rod", "b");
    const int status = run_without_locks({"a.rod", "b.rod", "-lrun.log"});
    ASSERT_NE(status, 125) << "no seccomp filter here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read("err"),
              "kvwxrd: Files cannot be locked beside \"a.req.xml\"; reports are "
              "written there without a lock.\n");
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
    EXPECT_EQ(read("b.req.xml"), empty_report("b"));
    EXPECT_EQ(read("run.log"), "REQ a.req.xml\nREQ b.req.xml\n");
    EXPECT_FALSE(exists("a.req.xml.tmp"));
    EXPECT_FALSE(exists("b.req.xml.tmp"));
}

// A signal that comes once the report is in place waits for its log line:
// the log is a FIFO whose reader comes only after the signal was sent. The
// header file, a FIFO too, holds the run while the report is written until
// the reader that the start-up check of the log needed is gone.
TEST_F(WritePathTest, SignalAfterTheRenameWaitsForTheLogLine) {
    write("a.rod", kSmokeRod);
    ASSERT_EQ(::mkfifo(path("log").c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(path("header").c_str(), 0666), 0);
    const ProcessResult result = shell(
        "env --default-signal \"$QUILLON\" -hheader a.rod -llog & pid=$!\n"
        "exec 3>header; cat log > /dev/null\n"
        "until ls -l /proc/$pid/fd | grep -q '/header$'; do sleep 0.01; done\n"
        "exec 3>&-\n"
        "while [ ! -e a.req.xml ]; do sleep 0.01; done\n"
        "kill -TERM $pid; timeout 5 cat log > got; wait $pid; echo $?");
    EXPECT_EQ(result.out, std::to_string(128 + SIGTERM) + "\n");
    EXPECT_EQ(read("got"), "REQ a.req.xml\n");
    EXPECT_EQ(read("a.req.xml"), kSmokeReport);
}

}  // namespace
