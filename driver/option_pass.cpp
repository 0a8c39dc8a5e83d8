#include "driver/option_pass.h"

#include "i18n/tool_messages.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

// Opens path with mode and closes it again; true when the open succeeded and
// the file is no directory, which opens for reading but has no line to give.
bool can_open(const char* path, const char* mode) {
    std::FILE* file = std::fopen(path, mode);
    if (!file) {
        return false;
    }
    struct stat status {};
    const bool directory = fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
    std::fclose(file);
    return !directory;
}

bool is_option(const char* argument) {
    return argument[0] == '-' && argument[1] != '\0';
}

}  // namespace

const char* read_options(int argc, char** argv, RunOptions& options) {
    const char* output_name = nullptr;
    options.log_file = nullptr;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (!is_option(argv[i])) {
            continue;
        }
        const char* value = argv[i] + 2;
        switch (argv[i][1]) {
            case 'o':
                output_name = value;
                break;
            case 'h':
                options.header_file = value;
                break;
            case 'l':
                options.log_file = value;
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
    return output_name;
}

bool check_option_files(int argc, char** argv) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (!is_option(argv[i])) {
            continue;
        }
        const char* value = argv[i] + 2;
        if (argv[i][1] == 'h' && !can_open(value, "r")) {
            tool_error(kToolErrorOpenFile, value, "head_file_read");
            return false;
        }
        if (argv[i][1] == 'l' && !can_open(value, "a")) {
            tool_error(kToolErrorOpenFile, value, "log_file_write");
            return false;
        }
    }
    return true;
}
