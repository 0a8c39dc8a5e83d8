#pragma once
// Where the -v echo goes: one line per requirement, on standard output.
//
// Lines are collected and written in large pieces. After the first failure
// to write them (a closed pipe, a full disk) the echo falls silent, and
// failed() says so for the driver to tell: it never costs a report.

#include <string>
#include <string_view>

class ConsoleEcho {
  public:
    explicit ConsoleEcho(int fd) : fd_(fd) {}
    ConsoleEcho(const ConsoleEcho&) = delete;
    ConsoleEcho& operator=(const ConsoleEcho&) = delete;
    ~ConsoleEcho() { flush(); }

    // Adds one finished line, line feed included.
    void write_line(std::string_view line) {
        if (failed_) {
            return;
        }
        pending_.append(line);
        if (pending_.size() >= kFlushSize) {
            flush();
        }
    }

    // Writes out what waits; the run calls it after each report.
    void flush();

    bool failed() const { return failed_; }

  private:
    static constexpr std::size_t kFlushSize = 64 * 1024;

    int fd_;
    std::string pending_;
    bool failed_ = false;
};
