#include "driver/output_check.h"

#include "driver/messages.h"
#include "driver/run_loop.h"
#include "xml/report_place.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

// A file as the file system knows it: two names of one file give the same
// identity, through links, "./" and "../" alike. A file yet to be made (a
// log, a temporary file) is known by its directory and its name in it.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    std::string name;  // empty for a file that exists
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identity_of(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        return FileIdentity{status.st_dev, status.st_ino, {}};
    }
    const std::size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (name.empty() || name == "." || name == ".." || stat(directory.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino, name};
}

// Only files that exist are inputs: a missing one is skipped by the run.
void add_input(std::vector<FileIdentity>& inputs, const char* path) {
    std::optional<FileIdentity> input = identity_of(path);
    if (input && input->name.empty()) {
        inputs.push_back(std::move(*input));
    }
}

bool is_among(const std::optional<FileIdentity>& file, const std::vector<FileIdentity>& files) {
    return file && std::find(files.begin(), files.end(), *file) != files.end();
}

}  // namespace

bool outputs_spare_inputs(const CommandLine& line) {
    const RunOptions& options = line.options;
    std::vector<FileIdentity> inputs;
    std::vector<std::string> report_names;
    if (line.output) {
        report_names.emplace_back(line.output);
    }
    if (options.header_file) {
        add_input(inputs, options.header_file);
    }
    for (const char* input : line.inputs) {
        add_input(inputs, input);
        if (!line.output) {
            report_names.push_back(default_report_name(input));
        }
    }

    // Each report is known by its name and by where the write puts it (the
    // end of a chain of links, which may not exist yet); its temporary
    // file, which the write may remove as stale, is as much an output.
    std::vector<FileIdentity> reports;
    std::vector<FileIdentity> temporaries;
    for (const std::string& name : report_names) {
        const ReportPlace place = report_place(name);
        std::vector<std::optional<FileIdentity>> identities = {identity_of(name)};
        if (place.descriptor < 0 && place.path != name) {
            identities.push_back(identity_of(place.path));
        }
        for (const std::optional<FileIdentity>& report : identities) {
            if (is_among(report, inputs)) {
                say_input_overwritten(name.c_str());
                return false;
            }
            if (report) {
                reports.push_back(*report);
            }
        }
        if (place.descriptor >= 0) {
            continue;  // written straight into: no temporary file
        }
        const std::string temporary = temporary_path(place.path);
        const std::optional<FileIdentity> identity = identity_of(temporary);
        if (is_among(identity, inputs)) {
            say_input_overwritten(temporary.c_str());
            return false;
        }
        if (identity) {
            temporaries.push_back(*identity);
        }
    }
    if (options.log_file) {
        const std::optional<FileIdentity> log = identity_of(options.log_file);
        if (is_among(log, inputs) || is_among(log, temporaries)) {
            say_input_overwritten(options.log_file);
            return false;
        }
        if (is_among(log, reports)) {
            say_log_is_report(options.log_file);
            return false;
        }
    }
    return true;
}
