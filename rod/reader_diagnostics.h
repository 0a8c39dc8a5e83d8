#pragma once
// Reader diagnostics that the reader keeps state for while it reads a file.

#include <string>
#include <string_view>
#include <vector>

// The Qarvo-W-DUPSRVNAM warning, which a large file can raise once per
// record. It translates its message once, on first use, and keeps it in the
// local encoding cut around the places of its arguments, so that each
// warning after that is a few byte copies. Translations must not change while
// one is in use: the reader keeps one for the length of a file.
//
// Warnings are written in batches of whole lines, each batch in one write of
// at most kBatchSize bytes (lines longer than that go alone), so a line still
// reaches standard error whole. flush() writes what waits; the reader calls
// it before any other diagnostic and when the file ends, which keeps every
// line in order with the rest of standard error.
class DuplicateServiceWarning {
  public:
    DuplicateServiceWarning() = default;
    DuplicateServiceWarning(const DuplicateServiceWarning&) = delete;
    DuplicateServiceWarning& operator=(const DuplicateServiceWarning&) = delete;
    ~DuplicateServiceWarning() { flush(); }

    void report(std::string_view name, int new_line, int first_line);
    void flush();

    static constexpr std::size_t kBatchSize = 4096;  // PIPE_BUF on Linux

  private:
    void prepare();

    // A piece of the message: literal bytes, then the argument that follows
    // them (0 none, 1 the name, 2 the new line, 3 the first line).
    struct Piece {
        std::string bytes;
        int argument = 0;
    };
    bool prepared_ = false;
    // Empty when the local encoding is one whose bytes cannot be put
    // together piece by piece; every warning then takes the general path.
    std::vector<Piece> pieces_;
    std::string line_;
    std::string batch_;
};
