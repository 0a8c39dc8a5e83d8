#include "report/log_file.h"

#include "i18n/tool_messages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

void append_log_line(const char* log_file, const char* report_name) {
    const std::string line = std::string("REQ ") + report_name + "\n";
    const int fd = ::open(log_file, O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        tool_error(kToolErrorOpenFile, log_file, "log_file_write");
        return;
    }
    struct stat before {};
    const bool sized = fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
    ssize_t written = 0;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    bool ok = written == static_cast<ssize_t>(line.size());
    if (!ok && sized) {
        // No torn line stays behind (a full disk can take part of it).
        if (ftruncate(fd, before.st_size) != 0) {
            // Nothing more can be done; the message below says the line failed.
        }
    }
    if (::close(fd) != 0) {
        ok = false;
    }
    if (!ok) {
        tool_error(kToolErrorWriteFile, log_file, "log_file_write");
    }
}
