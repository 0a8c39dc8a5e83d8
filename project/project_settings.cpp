#include "project/project_settings.h"

#include "project/header_section.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The settings in the order a line is tested against them: a line counts
// for the first one it contains.
constexpr std::array<std::string_view, 5> kSettingTexts = {
    "$PROJECT_NAME", "$PROJECT_PATH", "$NAME", "$CONFIGURATION", "$WORKSPACE_NAME"};

std::optional<std::string>& setting_slot(ProjectSettings& settings, std::size_t index) {
    switch (index) {
        case 0:
            return settings.project_name;
        case 1:
            return settings.project_path;
        case 2:
            return settings.name;
        case 3:
            return settings.configuration;
        default:
            return settings.workspace_name;
    }
}

// The text after the first '=', up to the first LF, TAB or ';', with one
// quote removed at each end and then the blanks around it.
std::optional<std::string> setting_value(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = line.substr(equals + 1);
    value = value.substr(0, value.find_first_of("\n\t;"));
    if (!value.empty() && value.front() == '\'') {
        value.remove_prefix(1);
    }
    if (!value.empty() && value.back() == '\'') {
        value.remove_suffix(1);
    }
    while (!value.empty() && value.front() == ' ') {
        value.remove_prefix(1);
    }
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    return std::string(value);
}

// path\name.rtp, with each run of separators cut down to its first one.
std::string project_file_path(const std::string& path, const std::string& name) {
    const std::string joined = path + '\\' + name + ".rtp";
    std::string result;
    result.reserve(joined.size());
    for (const char c : joined) {
        const bool separator = c == '/' || c == '\\';
        if (separator && !result.empty() && (result.back() == '/' || result.back() == '\\')) {
            continue;
        }
        result.push_back(c);
    }
    return result;
}

}  // namespace

ProjectSettings load_project_settings() {
    ProjectSettings settings;
    const char* file_name = std::getenv("ZELT_STUDIO_HEADER_FILE");
    if (file_name == nullptr) {
        return settings;
    }
    const FilePtr file(std::fopen(file_name, "rb"));
    if (!file) {
        return settings;
    }
    std::size_t known = 0;
    std::size_t line_number = 0;
    std::size_t name_line = 0;
    std::size_t path_line = 0;
    while (known < kSettingTexts.size()) {
        const std::optional<std::string> line = read_header_line(file.get());
        if (!line) {
            break;
        }
        ++line_number;
        std::size_t index = 0;
        while (index < kSettingTexts.size() &&
               line->find(kSettingTexts[index]) == std::string::npos) {
            ++index;
        }
        if (index == kSettingTexts.size()) {
            continue;
        }
        std::optional<std::string>& slot = setting_slot(settings, index);
        if (slot) {
            continue;
        }
        // A line naming a setting but giving no '=' leaves it to a later line.
        slot = setting_value(*line);
        if (!slot) {
            continue;
        }
        ++known;
        if (index == 1) {
            path_line = line_number;
        } else if (index == 2) {
            name_line = line_number;
        }
    }
    if (settings.project_path && settings.name && name_line < path_line) {
        settings.project_file = project_file_path(*settings.project_path, *settings.name);
    }
    return settings;
}
