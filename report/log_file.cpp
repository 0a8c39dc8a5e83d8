#include "report/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// Holds the log's lock from the size read before a line to the cut-back
// after it: runs sharing the log append one after the other, so the size
// read is still the end of the others' lines when a line is taken back.
// Where the file system has no lock (ENOLCK) runs go on without.
struct LogLock {
    int fd;
    bool held = false;
    explicit LogLock(int log_fd) : fd(log_fd) {
        int result = 0;
        do {
            result = flock(fd, LOCK_EX);
        } while (result != 0 && errno == EINTR);
        held = result == 0;
    }
    ~LogLock() {
        if (held) {
            flock(fd, LOCK_UN);
        }
    }
};

}  // namespace

FileProblem append_log_line(const char* log_file, const char* report_name) {
    const std::string line = std::string("REQ ") + report_name + "\n";
    const int fd = ::open(log_file, O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        return {FileProblem::Kind::Open, log_file};
    }
    bool ok = false;
    {
        const LogLock lock(fd);
        struct stat before {};
        const bool sized = fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
        ssize_t written = 0;
        do {
            written = ::write(fd, line.data(), line.size());
        } while (written < 0 && errno == EINTR);
        ok = written == static_cast<ssize_t>(line.size());
        // No torn line stays behind (a full disk can take part of it). Only
        // our own bytes go: nothing is cut when nothing was written, nor when
        // the log grew by more than them (a writer that takes no lock).
        struct stat after {};
        if (!ok && sized && written > 0 && fstat(fd, &after) == 0 &&
            after.st_size == before.st_size + written) {
            if (ftruncate(fd, before.st_size) != 0) {
                // Nothing more can be done; the message below says the line failed.
            }
        }
    }
    if (::close(fd) != 0) {
        ok = false;
    }
    if (!ok) {
        return {FileProblem::Kind::Write, log_file};
    }
    return {};
}
