// Runs a command and prints its wall time, peak resident memory and CPU time:
//   measure COMMAND ARGS...
// prints "<wall seconds> <peak KiB> <exit status> <user + system seconds>".
// The CPU time suffers less than the wall time from other work on a shared
// machine. Standard output and error of the command go to /dev/null.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND ARGS...\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
        dup2(null_fd, 2);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    std::printf("%.3f %ld %d %.3f\n", elapsed.count(), usage.ru_maxrss,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                seconds(usage.ru_utime) + seconds(usage.ru_stime));
    return 0;
}
