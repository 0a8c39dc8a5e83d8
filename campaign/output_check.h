#pragma once
// Before any report is read: no output may replace an input of the run (a
// report, a ROD file, a log, the requirement list, the baseline) nor another
// output, whatever the spelling of their names. Files are compared by what
// they are (device and inode, links followed as the write follows them); an
// output that does not exist yet by its canonical folder and name. Devices
// and FIFOs are written into, never replaced, so they may be named more than
// once. The JSON summary may replace the baseline it was compared with: that
// is read whole first, and keeping one file of the last campaign is the
// usual way to run.

#include <QString>

#include <string>
#include <vector>

struct NamedOutput {
    const char* option;  // "--json"...
    std::string path;
};

// Whether path names a device or a FIFO, which is written into rather than
// replaced (/dev/null, /dev/stdout): no page folder goes beside such a page.
bool written_into(const std::string& path);

// Empty when every output may be written, else the finished line saying why
// not.
QString check_outputs(const std::vector<NamedOutput>& outputs,
                      const std::vector<std::string>& inputs, const std::string& baseline);
