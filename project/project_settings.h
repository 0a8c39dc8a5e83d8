#pragma once
// The project settings read from the file named by ZELT_STUDIO_HEADER_FILE
// when no header file is given on the command line. Nothing in the report
// depends on them; the step is kept so that a missing or odd settings file
// behaves as it always did: silently.

#include <optional>
#include <string>

struct ProjectSettings {
    std::optional<std::string> project_name;    // $PROJECT_NAME
    std::optional<std::string> project_path;    // $PROJECT_PATH
    std::optional<std::string> name;            // $NAME
    std::optional<std::string> configuration;   // $CONFIGURATION
    std::optional<std::string> workspace_name;  // $WORKSPACE_NAME
    std::optional<std::string> project_file;    // path\name.rtp, when known
};

// Reads the settings; an unset variable or an unreadable file gives no values.
ProjectSettings load_project_settings();
