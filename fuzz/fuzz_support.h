#pragma once
// Pieces shared by the fuzz targets: an in-memory file to hand to code that
// reads paths, and the well-formedness check every report must pass.

#include <QByteArray>
#include <QXmlStreamReader>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// A file in memory, rewritten for every input.
class FuzzFile {
  public:
    explicit FuzzFile(const char* name) : fd_(memfd_create(name, 0)) {
        if (fd_ < 0) {
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;
    ~FuzzFile() { close(fd_); }

    // False when the bytes could not be written (the input is then skipped).
    bool write(std::string_view bytes) {
        return ftruncate(fd_, 0) == 0 &&
               pwrite(fd_, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    }
    const char* path() const { return path_.c_str(); }

  private:
    int fd_;
    std::string path_;
};

// Aborts, so that libFuzzer keeps the input, unless document parses as XML.
inline void require_well_formed(const std::string& document) {
    QXmlStreamReader reader(
        QByteArray::fromRawData(document.data(), static_cast<qsizetype>(document.size())));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        std::abort();
    }
}
