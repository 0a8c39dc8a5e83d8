#pragma once
// Whether a ROD file ends inside a Test that has no verdict: a harness that
// stopped in the middle of a Test leaves a file that quillon converts into a
// report where that Test, and so the run, look passed (no record closes a
// Test, and a Test with no verdict does not count against the run). quillon
// warns about it; the campaign, which reads reports and no ROD file, finds
// the same Test with this pass of its own over the file.
//
// It must agree with quillon's reader line for line: lines end at '\n' and
// are numbered from 1, the header being line 1; a Test is opened by NT while
// a Service is open (opened by NS, closed by BG and MO) and closed by NT, NS,
// BG and MO; RT with a text, AS and AT give it its verdict. A file whose
// first line quillon turns down has no Tests.
//
// One pass through a fixed buffer: memory does not follow the size of the
// file, only the length of the last Test's name.

#include <cstdint>
#include <string>

struct RodTail {
    int error_number = 0;        // errno of the open or read that failed; 0 once read
    bool not_rod = false;        // its first line is no ROD header quillon accepts
    bool unfinished = false;     // it ends inside a Test that has no verdict
    std::string test_name;       // that Test's name in UTF-8 (empty when it has none)
    std::int64_t test_line = 0;  // the line of that Test's NT record
};

// Reads the ROD file at path (its bytes, as the system names the file).
RodTail read_rod_tail(const std::string& path);
