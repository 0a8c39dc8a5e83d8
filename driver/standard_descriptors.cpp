#include "driver/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void open_closed_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor is this one: the ones below are open.
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) {
            close(opened);  // cannot happen; never leave a stray descriptor
            return;
        }
        if (opened < 0) {
            return;  // nothing better to give it; the run goes on as it can
        }
    }
}
