#pragma once
// Where a file the user names is written, as ReplacingFile writes it: the
// file a name denotes when it is a symbolic link, and the temporary name
// beside it. The output check of the driver asks the same questions before
// anything is written, so both must answer alike.

#include <string>
#include <string_view>

struct ReportPlace {
    // The file written: the name itself, or the end of a chain of links
    // that are all trusted (made by this user or by root, folders on the
    // way included), whether that end exists yet or not. A chain with any
    // other link in it, or a loop, is not followed: the name itself is
    // replaced.
    std::string path;
    // At least 0 when the chain ends at one of this process's descriptors
    // (/dev/stdout, /dev/fd/N, /proc/self/fd/N, /proc/thread-self/fd/N): the
    // file is written through that descriptor, never replaced.
    int descriptor = -1;
};

// Follows name, when it is a link, as the write would: one lstat when it
// is none, else one per component walked.
ReportPlace report_place(const std::string& name);

// The folder part of path, up to and with its last slash ("" when none),
// and the name in that folder ("." when path ends with a slash).
struct PathParts {
    std::string folder;
    std::string base;
};
PathParts split_path(const std::string& path);

// The temporary name beside a file called base (a name without a slash):
// base with ".tmp" appended, or, where that would be longer than a name may
// be, the start of base, a digest of the whole of it, and ".tmp".
std::string temporary_name(std::string_view base);

// The temporary file of path: temporary_name of its base, in its folder.
std::string temporary_path(const std::string& path);
