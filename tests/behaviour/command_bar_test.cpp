#include "behaviour/logged_in_client.h"

#include <gtest/gtest.h>
#include <variant>

namespace corvane::testing {
namespace {

struct Press {
    const char* name;
    std::variant<int, MenuItem> control; // a bar button or the menu item that presses it
    std::string sent;
    int listMode;
    bool focusToInput;
    ServerKind server = ServerKind::Muck;
    friend void PrintTo(const Press& row, std::ostream* out) { *out << row.name; }
};

struct CommandBarTable : ::testing::Test, LoggedInClient, ::testing::WithParamInterface<Press> {};

TEST_P(CommandBarTable, SendsItsCommandAndMovesTheFocus) {
    const Press& row = GetParam();
    logIn();
    session().Server = row.server;
    h->window.focus = "output";
    if (const int* index = std::get_if<int>(&row.control)) {
        h->client.onCommandButton(*index);
    } else {
        h->client.onMenuTriggered(std::get<MenuItem>(row.control));
    }
    EXPECT_EQ(h->socket.allSent(), row.sent);
    EXPECT_EQ(session().ListMode, row.listMode);
    EXPECT_EQ(h->window.focus, row.focusToInput ? "input" : "output");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, CommandBarTable,
    ::testing::Values(
        Press{"WhoIsThreeLettersAndALineFeed", command_button::WhoIsHere, "who\n", 1, true},
        Press{"ViewWhoIsHerePressesWho", MenuItem::ViewWhoIsHere, "who\n", 1, true},
        Press{"WhoIsOn", command_button::WhoIsOn, "WHO\n", 2, true},
        Press{"ViewWhoIsOnPressesWho", MenuItem::ViewWhoIsOn, "WHO\n", 2, true},
        Press{"GoHome", command_button::GoHome, "gohome\n", 0, true},
        Press{"GameGoHomePressesGoHome", MenuItem::GameGoHome, "gohome\n", 0, true},
        Press{"GoHomeOnAMushIsHome", command_button::GoHome, "home\n", 0, true, ServerKind::Mush},
        Press{"QuitEndsWithCrLf", command_button::Quit, "@set me=_arrive/vrox:\r\nQUIT\r\n", 0, true},
        Press{"LogButton", command_button::Log, "", 0, true},
        Press{"FileOpenLogPressesTheLogButton", MenuItem::FileOpenLog, "", 0, true},
        Press{"UploadKeepsTheFocus", command_button::Upload, "", 0, false},
        Press{"FileUploadPressesUpload", MenuItem::FileUpload, "", 0, false},
        Press{"InfoKeepsTheFocus", command_button::Info, "", 0, false},
        Press{"DirectionKeepsTheFocus", command_button::Direction, "", 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Upload : ::testing::Test, LoggedInClient {};

TEST_F(Upload, AsksForAnExistingFileAndPlaysIt) {
    logIn();
    folder.write("notes.txt", "page Bob=hi\r\n");
    h->choosers.files = {folder.file("notes.txt")};
    h->client.onCommandButton(command_button::Upload);
    ASSERT_EQ(h->choosers.fileChoices.size(), 1u);
    const FileChoice& choice = h->choosers.fileChoices[0];
    EXPECT_EQ(choice.title, "Upload File");
    EXPECT_TRUE(choice.mustExist);
    EXPECT_EQ(choice.proposedName, "");
    ASSERT_EQ(choice.filters.size(), 3u);
    EXPECT_EQ(choice.filters[1].description, "Macro files (*.cmd)");
    EXPECT_EQ(choice.filters[1].pattern, "*.cmd");
    EXPECT_EQ(h->window.statusHistory.front(), "Status: Sending " + folder.file("notes.txt") + ", line 1");
    play();
    EXPECT_EQ(h->socket.allSent(), "page Bob=hi\r\n");
    EXPECT_EQ(h->window.focus, "input");
}

TEST_F(Upload, AFileThatCannotBeReadIsPassedOverSilently) {
    logIn();
    h->choosers.files = {folder.file("gone.txt")};
    h->client.onMenuTriggered(MenuItem::FileUpload);
    EXPECT_TRUE(h->socket.sent.empty());
    EXPECT_TRUE(h->prompts.messages.empty());
    EXPECT_FALSE(session().SendingFile);
}

} // namespace
} // namespace corvane::testing
