#include "project/project_settings.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Points ZELT_STUDIO_HEADER_FILE at a value (or unsets it) for one test.
class ScopedSettingsVariable {
  public:
    explicit ScopedSettingsVariable(const char* value) {
        if (const char* old = std::getenv(kName)) {
            saved_ = old;
        }
        if (value) {
            setenv(kName, value, 1);
        } else {
            unsetenv(kName);
        }
    }
    ~ScopedSettingsVariable() {
        if (saved_) {
            setenv(kName, saved_->c_str(), 1);
        } else {
            unsetenv(kName);
        }
    }
    ScopedSettingsVariable(const ScopedSettingsVariable&) = delete;
    ScopedSettingsVariable& operator=(const ScopedSettingsVariable&) = delete;

  private:
    static constexpr const char* kName = "ZELT_STUDIO_HEADER_FILE";
    std::optional<std::string> saved_;
};

ProjectSettings settings_of(const std::string& contents) {
    qtest::TempDir dir;
    const std::string path = dir.file("settings.txt");
    qtest::write_file(path, contents);
    ScopedSettingsVariable variable(path.c_str());
    return load_project_settings();
}

TEST(ProjectSettings, ReadsAllFiveAndFormsProjectFile) {
    const ProjectSettings s = settings_of(
        "set $NAME='demo'\n"
        "set $PROJECT_NAME= 'Proj' ;comment\n"
        "set $PROJECT_PATH=C:\\\\work//proj/\n"
        "set $CONFIGURATION=Debug\tx\ty\n"
        "set $WORKSPACE_NAME='ws' \n");
    EXPECT_EQ(s.name, "demo");
    EXPECT_EQ(s.project_name, "'Proj'");  // the blank before the quote keeps it
    EXPECT_EQ(s.project_path, "C:\\\\work//proj/");
    EXPECT_EQ(s.configuration, "Debug");
    EXPECT_EQ(s.workspace_name, "ws'");  // a trailing blank keeps the quote
    EXPECT_EQ(s.project_file, "C:\\work/proj/demo.rtp");
}

TEST(ProjectSettings, LineCountsForFirstSettingItHolds) {
    // $PROJECT_NAME is tested before $NAME; the first line for a setting wins.
    const ProjectSettings s = settings_of(
        "$NAME $PROJECT_NAME=p1\n"
        "$PROJECT_NAME=p2\n"
        "$NAME=n1=x\n"
        "$NAME=n2\n");
    EXPECT_EQ(s.project_name, "p1");
    EXPECT_EQ(s.name, "n1=x");
    EXPECT_FALSE(s.project_path);
    EXPECT_FALSE(s.configuration);
    EXPECT_FALSE(s.workspace_name);
    EXPECT_FALSE(s.project_file);
}

TEST(ProjectSettings, ProjectFileOnlyWhenNameComesFirst) {
    const ProjectSettings s = settings_of("$PROJECT_PATH=/p\n$NAME=n\n");
    EXPECT_EQ(s.project_path, "/p");
    EXPECT_EQ(s.name, "n");
    EXPECT_FALSE(s.project_file);
}

TEST(ProjectSettings, ProjectFileJoinsWithBackslash) {
    const ProjectSettings s = settings_of("$NAME=n\n$PROJECT_PATH=b\n");
    EXPECT_EQ(s.project_file, "b\\n.rtp");
    // A line naming a setting without '=' leaves it to a later line.
    const ProjectSettings t = settings_of("$NAME is set below\n$NAME=m\n$PROJECT_PATH=/\\/q\n");
    EXPECT_EQ(t.name, "m");
    EXPECT_EQ(t.project_file, "/q\\m.rtp");
}

TEST(ProjectSettings, SilentWithoutVariableOrFile) {
    {
        ScopedSettingsVariable unset(nullptr);
        const ProjectSettings s = load_project_settings();
        EXPECT_FALSE(s.name);
        EXPECT_FALSE(s.project_file);
    }
    qtest::TempDir dir;
    ScopedSettingsVariable missing(dir.file("absent.txt").c_str());  // setenv copies it
    EXPECT_EQ(qtest::capture_stderr([] {
                  const ProjectSettings s = load_project_settings();
                  EXPECT_FALSE(s.project_name);
              }),
              "");
}

}  // namespace
