#pragma once
// Reader diagnostics that the reader keeps state for while it reads a file.

#include <string>
#include <string_view>

// The Qarvo-W-DUPSRVNAM warning, which a large file can raise once per
// record. It translates its message once, on first use, and keeps it in the
// local encoding with markers where the arguments go, so that each warning
// after that is a few byte copies. Translations must not change while one is
// in use: the reader keeps one for the length of a file.
class DuplicateServiceWarning {
  public:
    void report(std::string_view name, int new_line, int first_line);

  private:
    bool prepared_ = false;
    // Empty when the local encoding is one whose bytes cannot be put
    // together piece by piece; every warning then takes the general path.
    std::string message_;
};
