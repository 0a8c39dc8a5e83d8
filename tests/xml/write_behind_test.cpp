#include "xml/write_behind.h"

#include "xml/page_cache.h"
#include "xml/replacing_file.h"

#include "tests/support/test_support.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// The helper thread exists only while a file past its first megabyte is
// being written: never for a small report, and never after finish(). The
// pieces land in the order they were handed over.
TEST(WriteBehindTest, AThreadOnlyWhileALargeFileIsWritten) {
    qtest::TempDir dir;
    const std::string path = dir.file("report");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    // Buffers taken in turn, as the stream does: each is refilled only once
    // as many pieces as may wait were handed over after it.
    constexpr std::size_t kBuffers = WriteBehind::kPiecesAhead + 1;
    std::vector<std::string> buffers(kBuffers, std::string(300 * 1024, ' '));
    std::string expected;
    const int before = qtest::thread_count();
    {
        WriteBehind writer;
        writer.follow(fd, true, -1);
        for (int i = 0; i < 40; ++i) {
            std::string& buffer = buffers[i % kBuffers];
            buffer.assign(buffer.size(), static_cast<char>('a' + i % 26));
            ASSERT_TRUE(writer.write_behind(buffer));
            expected += buffer;
            EXPECT_EQ(qtest::thread_count(), before + (expected.size() >= kMiB ? 1 : 0)) << i;
        }
        ASSERT_TRUE(writer.write("tail"));  // after every piece, written on return
        expected += "tail";
        EXPECT_EQ(qtest::read_file(path), expected);
        ASSERT_TRUE(writer.finish());
        EXPECT_EQ(qtest::thread_count_after_joins(before), before);
        writer.follow(fd, false, -1);  // a second file reuses the object
        ASSERT_TRUE(writer.write_behind(std::string_view(expected).substr(0, 2 * kMiB)));
        EXPECT_EQ(qtest::thread_count(), before + 1);
    }  // destroyed while following: joined
    EXPECT_EQ(qtest::thread_count_after_joins(before), before);
    EXPECT_EQ(qtest::read_file(path).size(), expected.size() + 2 * kMiB);
    ::close(fd);
}

// A write that fails, at once or behind the caller, is reported by the call
// after it with its errno, and every call after that fails too.
TEST(WriteBehindTest, AFailedWriteIsReportedWithItsErrno) {
    const std::string piece(600 * 1024, 'x');
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large);
        const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        WriteBehind writer;
        writer.follow(fd, false, -1);
        bool failed = false;
        // A small file fails on its first write; a large one once the
        // thread took a piece over.
        for (int i = 0; i < 4 && !failed; ++i) {
            failed =
                !writer.write_behind(std::string_view(piece).substr(0, large ? piece.size() : 10));
        }
        failed = failed || !writer.wait();
        EXPECT_TRUE(failed);
        EXPECT_EQ(errno, ENOSPC);
        errno = 0;
        EXPECT_FALSE(writer.write("more"));
        EXPECT_FALSE(writer.finish());
        EXPECT_EQ(errno, ENOSPC);
        ::close(fd);
    }
}

// A write that fails while the caller goes on handing pieces over: the
// failure is the thread's to record and the caller's to read, under one
// lock (ThreadSanitizer checks). The thread is held in its first write by a
// pipe nobody reads, then the pipe loses its reader.
TEST(WriteBehindTest, AWriteFailingBehindTheCallerIsReportedOnce) {
    std::signal(SIGPIPE, SIG_IGN);
    int pipe_ends[2];
    ASSERT_EQ(::pipe2(pipe_ends, O_CLOEXEC), 0);
    const std::string piece(kMiB, 'x');
    {
        WriteBehind writer;
        writer.follow(pipe_ends[1], false, -1);
        ASSERT_TRUE(writer.write_behind(piece));  // a thread takes it, and blocks
        const int capacity = ::fcntl(pipe_ends[0], F_GETPIPE_SZ);
        int queued = 0;
        while (::ioctl(pipe_ends[0], FIONREAD, &queued) == 0 && queued < capacity) {
            ::usleep(1000);
        }
        ASSERT_TRUE(writer.write_behind("more"));
        ::close(pipe_ends[0]);
        EXPECT_FALSE(writer.wait());
        EXPECT_EQ(errno, EPIPE);
        EXPECT_FALSE(writer.write_behind("after"));
        EXPECT_FALSE(writer.finish());
    }
    ::close(pipe_ends[1]);
}

// A large report replacing an old one lands whole with the old modes, and
// one given up leaves the old file as it was; no helper thread outlives
// either.
TEST(WriteBehindTest, LargeReplacingFilesLandWholeOrNotAtAll) {
    qtest::TempDir dir;
    const std::string path = dir.file("report.req.xml");
    std::string document;
    for (int i = 0; document.size() < 20 * kMiB; ++i) {
        document += "<line n=\"" + std::to_string(i) + "\"/>\n";
    }
    const int before = qtest::thread_count();
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit);
        qtest::write_file(path, "old report");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        {
            ReplacingFile file;
            ASSERT_TRUE(file.open(path));
            for (std::size_t at = 0; at < document.size(); at += 300 * 1024) {
                ASSERT_TRUE(file.write_behind(std::string_view(document).substr(at, 300 * 1024)));
            }
            if (commit) {
                ASSERT_TRUE(file.commit());
                EXPECT_EQ(qtest::thread_count_after_joins(before), before);
            }
        }
        EXPECT_EQ(qtest::thread_count_after_joins(before), before);
        EXPECT_EQ(qtest::read_file(path), commit ? document : "old report");
        struct stat landed {};
        ASSERT_EQ(::stat(path.c_str(), &landed), 0);
        EXPECT_EQ(landed.st_mode & 0777, 0640u);
        EXPECT_NE(::access((path + ".tmp").c_str(), F_OK), 0);
    }
}

}  // namespace

namespace {

// The cached pages of the report being replaced are let go once the new one
// is large, rather than by the rename, unless some are dirty: those would be
// written to the disk only to be freed. The old report stays whole.
TEST(WriteBehindTest, TheReplacedReportLeavesTheCacheWhenClean) {
    for (const bool clean : {true, false}) {
        SCOPED_TRACE(clean);
        qtest::TempDir dir;
        const std::string path = dir.file("report.req.xml");
        const std::string old_report(4 * kMiB, 'o');
        qtest::write_file(path, old_report);
        const int old_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(old_fd, 0);
        if (clean) {
            ASSERT_EQ(::fsync(old_fd), 0);
        }
        struct statfs where {};
        ASSERT_EQ(::fstatfs(old_fd, &where), 0);
        const std::optional<PageCacheState> before = page_cache_state(old_fd);
        if (where.f_type == TMPFS_MAGIC || !before || before->cached == 0 ||
            (before->dirty == 0) != clean) {
            ::close(old_fd);
            GTEST_SKIP() << "no page cache to let go of here";
        }
        ReplacingFile file;
        ASSERT_TRUE(file.open(path));
        const std::string piece(kMiB, 'n');
        ASSERT_TRUE(file.write_behind(piece));
        ASSERT_TRUE(file.write_behind(std::string_view(piece).substr(0, kMiB / 2)));
        ASSERT_TRUE(file.wait_for_writes());
        const std::optional<PageCacheState> after = page_cache_state(old_fd);
        ASSERT_TRUE(after);
        if (clean) {
            EXPECT_EQ(after->cached, 0u);
        } else {
            EXPECT_EQ(after->dirty, before->dirty);
        }
        EXPECT_EQ(qtest::read_file(path), old_report);
        ASSERT_TRUE(file.commit());
        EXPECT_EQ(qtest::read_file(path), piece + piece.substr(0, kMiB / 2));
        ::close(old_fd);
    }
}

}  // namespace
