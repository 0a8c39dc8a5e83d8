#pragma once
// How report/ fails: it prints nothing, and each step that can fail answers
// what went wrong and with which file; the driver says it.

#include <string>

struct FileProblem {
    enum class Kind {
        None,
        Open,       // file could not be opened or created
        Write,      // a write to file failed
        Rename,     // the temporary file file could not be put in place; it keeps the report
        Busy,       // file may be another writer's and cannot be locked; it is left in place
        Displaced,  // file no longer denoted the document written when it was to be put in place
    };
    Kind kind = Kind::None;
    std::string file;

    explicit operator bool() const { return kind != Kind::None; }
};
