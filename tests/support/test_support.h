#pragma once
// Helpers shared by the test programs: files, temporary directories, running
// the built tool as a process, and checking that a document parses as XML.

#include <QTemporaryDir>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qtest {

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);

// How many times what occurs in text, overlapping occurrences included.
std::size_t count(const std::string& text, const std::string& what);

// The threads of this process; after a join, the count the joined threads
// leave, waited for: the kernel lets a joiner go before a thread is gone
// from /proc.
int thread_count();
int thread_count_after_joins(int expected);

// A directory removed with everything in it when the object goes away.
class TempDir {
  public:
    TempDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    QTemporaryDir dir_;
    std::string path_;
};

// Environment of a child process: a name mapped to nullopt is left unset.
using Environment = std::map<std::string, std::optional<std::string>>;

struct ProcessResult {
    int exit_status = -1;  // exit code, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs program with argv[1..] = arguments, in directory cwd, with exactly the
// variables of env (nothing is inherited), and collects its output. A nonzero
// address_space_limit caps the child's address space (RLIMIT_AS), in bytes.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const Environment& env, const std::string& cwd,
                          std::size_t address_space_limit = 0);

// Whether a child can run under an address-space limit at all: a sanitizer
// runtime reserves terabytes of it up front.
bool address_space_limits_work();

// The environment the end-to-end tests start from: a UTF-8 locale, USER
// "tester", QARVODIR set to the build's staged installation.
Environment default_tool_environment();

// Runs the built quillon.
ProcessResult run_quillon(const std::vector<std::string>& arguments, const Environment& env,
                          const std::string& cwd, std::size_t address_space_limit = 0);

// Makes dir a QARVODIR whose lib/locale holds copies of the given fixture
// catalogues (paths relative to the built fixture folder, such as
// "prefixes/quillon_fr.qm"); returns dir.
std::string make_qarvodir(const std::string& dir, const std::vector<std::string>& catalogues);

// True when text is a well-formed XML document; otherwise fills *error.
bool parses_as_xml(const std::string& text, std::string* error = nullptr);

// What body writes to standard error (or standard output).
std::string capture_stderr(const std::function<void()>& body);
std::string capture_stdout(const std::function<void()>& body);

// True when the named locale can be set in this process (setlocale).
bool locale_available(const char* name);

// A command line as main() receives it: "quillon", the arguments, then a
// null pointer. The pointers stay valid for the life of the object.
class CommandLine {
  public:
    explicit CommandLine(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
        arguments_.insert(arguments_.begin(), "quillon");
        for (std::string& a : arguments_) {
            argv_.push_back(a.data());
        }
        argv_.push_back(nullptr);
    }
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    int argc() const { return static_cast<int>(arguments_.size()); }
    char** argv() { return argv_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
};

}  // namespace qtest
