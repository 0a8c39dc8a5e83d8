#include "xml/early_writeback.h"

#include "xml/replacing_file.h"

#include "tests/support/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

int thread_count() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(tasks);
    }
    return count;
}

// The helper thread exists only while a file past its first chunk is being
// written: never for a small report, and never after finish().
TEST(EarlyWritebackTest, AThreadOnlyWhileALargeFileIsWritten) {
    qtest::TempDir dir;
    const std::string path = dir.file("report");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const std::string chunk(kMiB, 'x');
    const int before = thread_count();
    {
        EarlyWriteback writeback;
        writeback.follow(fd);
        std::uint64_t size = 0;
        for (int i = 0; i < 20; ++i) {
            ASSERT_EQ(::write(fd, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
            size += chunk.size();
            writeback.written(size);
            EXPECT_EQ(thread_count(), before + (size >= 8 * kMiB ? 1 : 0)) << size;
        }
        writeback.finish();
        EXPECT_EQ(thread_count(), before);
        writeback.follow(fd);  // a second file reuses the object
        writeback.written(9 * kMiB);
        EXPECT_EQ(thread_count(), before + 1);
    }  // destroyed while following: joined
    EXPECT_EQ(thread_count(), before);
    ::close(fd);
}

// A large report replacing an old one lands whole with the old modes, and
// one given up leaves the old file as it was; no helper thread outlives
// either.
TEST(EarlyWritebackTest, LargeReplacingFilesLandWholeOrNotAtAll) {
    qtest::TempDir dir;
    const std::string path = dir.file("report.req.xml");
    std::string document;
    for (int i = 0; document.size() < 20 * kMiB; ++i) {
        document += "<line n=\"" + std::to_string(i) + "\"/>\n";
    }
    const int before = thread_count();
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit);
        qtest::write_file(path, "old report");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        {
            ReplacingFile file;
            ASSERT_TRUE(file.open(path));
            for (std::size_t at = 0; at < document.size(); at += 300 * 1024) {
                ASSERT_TRUE(file.write(std::string_view(document).substr(at, 300 * 1024)));
            }
            if (commit) {
                ASSERT_TRUE(file.commit());
                EXPECT_EQ(thread_count(), before);
            }
        }
        EXPECT_EQ(thread_count(), before);
        EXPECT_EQ(qtest::read_file(path), commit ? document : "old report");
        struct stat landed {};
        ASSERT_EQ(::stat(path.c_str(), &landed), 0);
        EXPECT_EQ(landed.st_mode & 0777, 0640u);
        EXPECT_NE(::access((path + ".tmp").c_str(), F_OK), 0);
    }
}

}  // namespace
