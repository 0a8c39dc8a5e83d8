#include "driver/option_pass.h"

#include "driver/messages.h"
#include "project/header_section.h"
#include "xml/xml_stream.h"

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

CommandLine read_command_line(int argc, char** argv) {
    CommandLine line;
    if (argc > 0 && argv[0]) {
        line.program = argv[0];
    }
    line.empty = argc <= 1;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const char* argument = argv[i];
        if (line.long_option == LongOption::None) {
            line.long_option = long_option_of(argument);
        }
        if (argument[0] != '-') {
            line.inputs.push_back(argument);
            continue;
        }
        if (!is_option(argument)) {
            continue;  // a lone "-" is neither an option nor an input
        }
        const char* value = argument + 2;
        switch (argument[1]) {
            case 'o':
                line.output = value;
                break;
            case 'h':
                line.options.header_file = value;
                line.option_files.push_back({'h', value});
                break;
            case 'l':
                line.options.log_file = value;
                line.option_files.push_back({'l', value});
                break;
            case 'v':
                line.options.verbose = true;
                break;
            case 'e':
                line.options.element_mode = true;
                break;
            default:
                break;
        }
    }
    return line;
}

bool check_option_files(const CommandLine& line) {
    for (const OptionFile& file : line.option_files) {
        if (!can_open(file.name, file.letter == 'h' ? "r" : "a")) {
            say_cannot_open(file.name);
            return false;
        }
    }
    return true;
}

bool make_header_section(const CommandLine& line, std::string& section) {
    const char* name = line.options.header_file;
    if (!name) {
        return true;
    }
    std::string bytes;
    switch (read_header_file(name, bytes)) {
        case HeaderFileRead::NotOpened:
            say_cannot_open(name);
            return false;
        case HeaderFileRead::ReadError:
            say_cannot_read(name);
            return false;
        case HeaderFileRead::Read:
            break;
    }
    XmlStream out;
    write_header_section(out, bytes);
    section = out.text();
    return true;
}
