#pragma once
// The header file named with -h, and the header section written from it
// into every report: ENV_INFO elements of key=value lines and named entries
// of tag:name=value lines.

#include <optional>
#include <string>
#include <string_view>

class XmlStream;

// Takes the next line off rest (what is left of a header file's bytes),
// without its line feed and cut at its last TAB, then its last CR; nullopt
// when nothing is left.
std::optional<std::string_view> read_header_line(std::string_view& rest);

enum class HeaderFileRead {
    Read,
    NotOpened,  // cannot be opened, or is a directory
    ReadError,  // a read failed: no section stands for part of the file
};

// Reads the whole header file at path into bytes, once for the run: every
// report gets the same section, and a file that fails fails before the
// first report. Memory running out throws std::bad_alloc.
HeaderFileRead read_header_file(const char* path, std::string& bytes);

// Writes the header section of a header file's bytes to out. Names of ASCII
// keys are made without QString, so that memory running out throws
// std::bad_alloc rather than failing inside Qt.
void write_header_section(XmlStream& out, std::string_view header_bytes);
