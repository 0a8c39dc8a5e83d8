#pragma once
// The header file named with -h, and the header section written from it
// into every report: ENV_INFO elements of key=value lines and named entries
// of tag:name=value lines.

#include <cstdio>
#include <optional>
#include <string>

class ReportStream;

// The next line of file, cut at its last LF, then its last TAB, then its last
// CR; nullopt at end of file or on a read error. A line is read whole,
// whatever its length.
std::optional<std::string> read_header_line(std::FILE* file);

// Writes the header section of run_options.header_file to out; nothing when
// no header file was named or it cannot be opened.
void write_header_section(ReportStream& out);
