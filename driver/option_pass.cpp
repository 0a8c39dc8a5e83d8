#include "driver/option_pass.h"

#include "driver/tool_messages.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

// Opens path with mode and closes it again; true when the open succeeded and
// the file is no directory, which opens for reading but has no line to give.
bool can_open(const char* path, const char* mode) {
    FILE* file = std::fopen(path, mode);
    if (!file) {
        return false;
    }
    struct stat status {};
    const bool directory = fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
    std::fclose(file);
    return !directory;
}

}  // namespace

OptionPassResult run_option_pass(int argc, char** argv, RunOptions& options) {
    OptionPassResult result;
    options.log_file = nullptr;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const char* argument = argv[i];
        if (argument[0] != '-' || argument[1] == '\0') {
            continue;
        }
        const char* value = argument + 2;
        switch (argument[1]) {
            case 'o':
                result.output_name = value;
                break;
            case 'h':
                options.header_file = value;
                if (!can_open(value, "r")) {
                    tool_error(kToolErrorOpenFile, value, "head_file_read");
                    result.ok = false;
                    return result;
                }
                break;
            case 'l':
                options.log_file = value;
                if (!can_open(value, "a")) {
                    tool_error(kToolErrorOpenFile, value, "log_file_write");
                    result.ok = false;
                    return result;
                }
                break;
            case 'v':
                options.verbose = true;
                break;
            case 'e':
                options.element_mode = true;
                break;
            default:
                break;
        }
    }
    return result;
}
