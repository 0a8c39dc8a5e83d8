#pragma once
// Writes one output file so that it lands complete or not at all, and
// streamed: the writers put their text piece by piece into an OutputStream,
// whose small buffer spills into a ReplacingFile (a temporary file beside the
// target, renamed over it once everything was written). Memory holds the
// buffer, never the whole output. An existing file stays as it was when
// anything fails; a target that is a device or a FIFO (/dev/null,
// /dev/stdout) is written straight into, never replaced.

#include <QString>

#include <functional>
#include <string>
#include <string_view>

class ReplacingFile;

// Bytes on their way to an output file. Every spill into the file is
// checked: the first failure sticks with its reason, and whatever comes
// after it is dropped.
class OutputStream {
  public:
    // Writes to file, which must outlive the stream.
    explicit OutputStream(ReplacingFile& file);
    // Collects everything in memory; text() gives it.
    OutputStream() = default;
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    void put(std::string_view bytes) {
        buffer_.append(bytes);
        spill_if_full();
    }
    void put(char c) {
        buffer_.push_back(c);
        spill_if_full();
    }
    void put_int(long long value);

    // Writes out everything pending; false when any write so far failed.
    bool flush();
    // The errno of the first failed write.
    int error_number() const { return error_number_; }

    // Everything written, for a memory stream.
    const std::string& text() const { return buffer_; }

  private:
    static constexpr std::size_t kSpillSize = 1 << 16;
    void spill_if_full() {
        if (file_ && buffer_.size() >= kSpillSize) {
            spill();
        }
    }
    void spill();

    ReplacingFile* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
    int error_number_ = 0;
};

// Writes the output at path, whose text write puts into the stream. On
// failure *error is the whole problem line naming the file.
bool write_output(const QString& path, const std::function<void(OutputStream&)>& write,
                  QString* error);
