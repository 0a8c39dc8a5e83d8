#pragma once
// The byte stream a report is written to: a buffer that spills into a file
// (or stays in memory, for tests), remembering whether any write failed.

#include <cstdio>
#include <string>
#include <string_view>

class ReportStream {
  public:
    // Writes to file, which stays owned by the caller.
    explicit ReportStream(std::FILE* file);
    // Collects everything in memory; text() gives it.
    ReportStream();
    ReportStream(const ReportStream&) = delete;
    ReportStream& operator=(const ReportStream&) = delete;

    void put(std::string_view bytes) {
        buffer_.append(bytes);
        spill_if_full();
    }
    void put(char c) {
        buffer_.push_back(c);
        spill_if_full();
    }
    void put_int(long long value);

    // The pending bytes, for writers that append escaped text in place; call
    // spill_if_full() after appending.
    std::string& pending() { return buffer_; }
    void spill_if_full() {
        if (file_ && buffer_.size() >= kSpillSize) {
            spill();
        }
    }

    // Writes out everything pending and flushes the file; false when any
    // write so far has failed.
    bool flush();
    bool failed() const { return failed_; }

    // Everything written, for a memory stream.
    const std::string& text() const { return buffer_; }

  private:
    static constexpr std::size_t kSpillSize = 1 << 18;
    void spill();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};
