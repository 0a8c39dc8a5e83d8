#pragma once
// The header file named with -h, and the header section written from it
// into every report: ENV_INFO elements of key=value lines and named entries
// of tag:name=value lines.

#include <optional>
#include <string_view>

class XmlStream;

// Takes the next line off rest (what is left of a header file's bytes),
// without its line feed and cut at its last TAB, then its last CR; nullopt
// when nothing is left.
std::optional<std::string_view> read_header_line(std::string_view& rest);

// Writes the header section of header_file to out; nothing when it is null
// or cannot be opened. A read error ends the section as the end of the file
// would.
void write_header_section(XmlStream& out, const char* header_file);
