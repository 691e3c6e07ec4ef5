#include "behaviour/scratch_folder.h"
#include "fakes/fake_platform.h"
#include "macros/text_editor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace corvane::testing {
namespace {

const char* const kTerminalVim = "[Desktop Entry]\nExec=vim %F\nTerminal=true\n";

struct EditorSetUp {
    const char* name;
    // Files under the scratch folder; those in bin/ are made executable.
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> env;
    const char* program;                // under the scratch folder; nullptr: no editor, a message instead
    std::vector<std::string> arguments; // "FILE" stands for the macro file
    friend void PrintTo(const EditorSetUp& row, std::ostream* out) { *out << row.name; }
};

struct TextEditorTable : ::testing::TestWithParam<EditorSetUp> {};

TEST_P(TextEditorTable, StartsAGraphicalEditorWithTheFile) {
    const EditorSetUp& row = GetParam();
    ScratchFolder folder;
    for (const auto& [name, content] : row.files) {
        std::filesystem::create_directories(std::filesystem::path(folder.file(name)).parent_path());
        folder.write(name, content);
        if (name.rfind("bin/", 0) == 0) {
            std::filesystem::permissions(folder.file(name), std::filesystem::perms::owner_all);
        }
    }
    std::map<std::string, std::string> env = {{"PATH", folder.file("bin")},
                                              {"XDG_CONFIG_HOME", folder.file("config")},
                                              {"XDG_DATA_HOME", folder.file("home")},
                                              {"XDG_DATA_DIRS", folder.file("share")}};
    for (const auto& [name, value] : row.env) {
        env[name] = value;
    }
    FakeLauncher launcher;
    FakePrompts prompts;
    TextEditor editor(launcher, prompts, [&](const std::string& name) { return env[name]; });
    const std::string file = folder.file("MACR0001.CMD");

    EXPECT_EQ(editor.open(file), row.program != nullptr);
    EXPECT_TRUE(std::filesystem::exists(file));
    if (row.program == nullptr) {
        EXPECT_TRUE(launcher.started.empty());
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_NE(prompts.messages[0].text.find(file), std::string::npos);
        return;
    }
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, folder.file(row.program));
    std::vector<std::string> expected = row.arguments;
    for (std::string& argument : expected) {
        argument = argument == "FILE" ? file : argument;
    }
    EXPECT_EQ(launcher.started[0].arguments, expected);
    EXPECT_TRUE(launcher.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, TextEditorTable,
    ::testing::Values(
        EditorSetUp{"AGraphicalVisualIsUsedWithItsArguments",
                    {{"bin/xed", ""}, {"share/applications/xed.desktop", "[Desktop Entry]\nExec=xed %U\n"}},
                    {{"VISUAL", "xed --new-window"}},
                    "bin/xed",
                    {"--new-window", "FILE"}},
        EditorSetUp{
            "ATerminalEditorGivesWayToTheDesktopsChoice",
            {{"bin/vim", ""},
             {"bin/textpad", ""},
             {"share/applications/vim.desktop", kTerminalVim},
             {"config/mimeapps.list", "[Default Applications]\ntext/plain=org.example.TextPad.desktop;\n"},
             {"share/applications/org.example.TextPad.desktop",
              "[Desktop Entry]\nName=TextPad\nExec=textpad --tab %i \"%f\"\n"}},
            {{"EDITOR", "vim"}},
            "bin/textpad",
            {"--tab", "FILE"}},
        EditorSetUp{
            "TheUsersChoiceComesBeforeOtherHandlers",
            {{"bin/other", ""},
             {"bin/textpad", ""},
             {"share/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=other.desktop;\n"},
             {"share/applications/other.desktop", "[Desktop Entry]\nExec=other\n"},
             {"home/applications/mimeapps.list", "[Added Associations]\ntext/plain=textpad.desktop;\n"},
             {"share/applications/textpad.desktop", "[Desktop Entry]\nExec=textpad\n"}},
            {},
            "bin/textpad",
            {"FILE"}},
        EditorSetUp{"ATerminalHandlerFallsBackToAWellKnownEditor",
                    {{"bin/vim", ""},
                     {"bin/kate", ""},
                     {"share/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=vim.desktop;\n"},
                     {"share/applications/vim.desktop", kTerminalVim}},
                    {{"VISUAL", "vim"}},
                    "bin/kate",
                    {"FILE"}},
        EditorSetUp{"NoEditorAtAll", {{"bin/vim", ""}}, {{"EDITOR", "vim"}}, nullptr, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
