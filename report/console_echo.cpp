#include "report/console_echo.h"

#include <unistd.h>

#include <cerrno>

void ConsoleEcho::flush() {
    std::string_view rest = pending_;
    while (!rest.empty() && !failed_) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written >= 0) {
            rest.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno != EINTR) {
            failed_ = true;
        }
    }
    pending_.clear();
}
