#include "campaign/output_check.h"

#include "campaign/messages.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <tuple>

namespace {

// What a name denotes: an existing file by device and inode, a file still to
// be made by its canonical folder and its name.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string future;  // empty for an existing file

    bool operator==(const FileIdentity& other) const {
        return std::tie(device, inode, future) == std::tie(other.device, other.inode, other.future);
    }
};

std::optional<FileIdentity> identity(const std::string& path) {
    struct stat status;
    if (::stat(path.c_str(), &status) == 0) {
        return FileIdentity{status.st_dev, status.st_ino, {}};
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real) {
        return std::nullopt;  // no folder to write in: the write itself will say so
    }
    FileIdentity future{0, 0, std::string(real) + '/' + path.substr(slash + 1)};
    std::free(real);
    return future;
}

}  // namespace

bool written_into(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
           !S_ISDIR(status.st_mode);
}

QString check_outputs(const std::vector<NamedOutput>& outputs,
                      const std::vector<std::string>& inputs, const std::string& baseline) {
    std::vector<std::optional<FileIdentity>> input_ids;
    for (const std::string& input : inputs) {
        input_ids.push_back(identity(input));
    }
    const std::optional<FileIdentity> baseline_id =
        baseline.empty() ? std::nullopt : identity(baseline);
    std::vector<std::pair<std::optional<FileIdentity>, const NamedOutput*>> seen;
    for (const NamedOutput& output : outputs) {
        if (output.path.empty() || written_into(output.path)) {
            continue;
        }
        const std::optional<FileIdentity> id = identity(output.path);
        if (!id) {
            continue;
        }
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            if (input_ids[i] == id) {
                return message_output_is_input(shown_file_name(output.path),
                                               shown_file_name(inputs[i]));
            }
        }
        if (baseline_id == id && std::strcmp(output.option, "--json") != 0) {
            return message_output_is_input(shown_file_name(output.path), shown_file_name(baseline));
        }
        for (const auto& [other_id, other] : seen) {
            if (other_id == id) {
                return message_same_output(shown_file_name(other->path),
                                           shown_file_name(output.path));
            }
        }
        seen.emplace_back(id, &output);
    }
    return QString();
}
