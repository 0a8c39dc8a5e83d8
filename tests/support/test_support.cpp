#include "tests/support/test_support.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qtest {

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

int thread_count_after_joins(int expected) {
    for (int i = 0; i < 1000 && thread_count() != expected; ++i) {
        ::usleep(1000);
    }
    return thread_count();
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

bool file_exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

TempDir::TempDir() : path_(dir_.path().toStdString()) {}

namespace {

void drain(int fd, std::string& into, bool& open) {
    char buffer[65536];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        open = false;
    }
}

}  // namespace

ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const Environment& env, const std::string& cwd,
                          std::size_t address_space_limit) {
    int out_pipe[2];
    int err_pipe[2];
    if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> env_entries;
    for (const auto& [name, value] : env) {
        if (value) {
            env_entries.push_back(name + "=" + *value);
        }
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env_entries) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    // Forked by hand: the child needs its own working directory and exactly
    // the environment given.
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out_pipe[1], 1);
        ::dup2(err_pipe[1], 2);
        ::close(out_pipe[0]);
        ::close(err_pipe[0]);
        ::close(out_pipe[1]);
        ::close(err_pipe[1]);
        const int null_fd = ::open("/dev/null", O_RDONLY);
        if (null_fd >= 0) {
            ::dup2(null_fd, 0);
        }
        if (::chdir(cwd.c_str()) != 0) {
            ::_exit(126);
        }
        const rlimit limit{address_space_limit, address_space_limit};
        if (address_space_limit != 0 && ::setrlimit(RLIMIT_AS, &limit) != 0) {
            ::_exit(125);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    ProcessResult result;
    bool out_open = true;
    bool err_open = true;
    while (out_open || err_open) {
        pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (out_open && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            drain(out_pipe[0], result.out, out_open);
        }
        if (err_open && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            drain(err_pipe[0], result.err, err_open);
        }
    }
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Environment default_tool_environment() {
    return {
        {"PATH", "/usr/bin:/bin"},
        {"LC_ALL", "C.UTF-8"},
        {"USER", "tester"},
        {"QARVODIR", QUILLON_STAGE_DIR},
    };
}

ProcessResult run_quillon(const std::vector<std::string>& arguments, const Environment& env,
                          const std::string& cwd, std::size_t address_space_limit) {
    return run_process(QUILLON_BINARY, arguments, env, cwd, address_space_limit);
}

bool address_space_limits_work() {
#ifdef QUILLON_SANITIZED
    return false;
#else
    return true;
#endif
}

std::string make_qarvodir(const std::string& dir, const std::vector<std::string>& catalogues) {
    namespace fs = std::filesystem;
    const fs::path locale_dir = fs::path(dir) / "lib" / "locale";
    fs::create_directories(locale_dir);
    for (const std::string& catalogue : catalogues) {
        const fs::path source = fs::path(QUILLON_FIXTURE_QM_DIR) / catalogue;
        fs::copy_file(source, locale_dir / source.filename(), fs::copy_options::overwrite_existing);
    }
    return dir;
}

bool parses_as_xml(const std::string& text, std::string* error) {
    QXmlStreamReader reader(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        if (error) {
            *error = reader.errorString().toStdString() + " at line " +
                     std::to_string(reader.lineNumber()) + ", column " +
                     std::to_string(reader.columnNumber());
        }
        return false;
    }
    return true;
}

std::string capture_stderr(const std::function<void()>& body) {
    std::fflush(stderr);
    testing::internal::CaptureStderr();
    body();
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
}

std::string capture_stdout(const std::function<void()>& body) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    body();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

bool locale_available(const char* name) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool ok = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, saved.c_str());
    return ok;
}

}  // namespace qtest
