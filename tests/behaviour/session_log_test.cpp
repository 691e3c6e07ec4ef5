#include "behaviour/logged_in_client.h"
#include "core/text_codec.h"
#include "settings/play_options.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct SessionLogTest : ::testing::Test, LoggedInClient {
    void pressLog() { h->client.onCommandButton(command_button::Log); }
    // Opens a new log through the log button.
    void openLog(const std::string& name = "session.log") {
        h->choosers.files.push_back(folder.file(name));
        pressLog();
        ASSERT_TRUE(session().LogOpen);
    }
    void expectClosed(bool wasOpen = true) {
        EXPECT_FALSE(session().LogOpen);
        EXPECT_EQ(h->client.buttons().caption(Bar::Command, command_button::Log), "Open&Log");
        EXPECT_TRUE(h->client.menu().enabled(MenuItem::FileOpenLog));
        EXPECT_FALSE(h->client.menu().enabled(MenuItem::FileCloseLog));
        if (wasOpen) {
            EXPECT_FALSE(h->window.labelVisible[StatusView::LogLabel]);
        }
    }
};

struct OpenLogRow {
    const char* name;
    const char* existing; // nullptr: the file is new
    const char* chosen;   // relative to the scratch folder; nullptr: chooser cancelled
    std::optional<PromptAnswer> answer;
    bool opens;
    const char* contentAfter;
    const char* message; // the start of the error shown, or nullptr
    friend void PrintTo(const OpenLogRow& row, std::ostream* out) { *out << row.name; }
};

struct OpenLogTable : SessionLogTest, ::testing::WithParamInterface<OpenLogRow> {};

TEST_P(OpenLogTable, TheLogButtonOpensAsTheUserAnswers) {
    const OpenLogRow& row = GetParam();
    start();
    if (row.existing) {
        folder.write("session.log", row.existing);
    }
    std::filesystem::create_directory(folder.file("folder"));
    h->choosers.files = {row.chosen ? std::optional(folder.file(row.chosen)) : std::nullopt};
    if (row.answer) {
        h->prompts.answers = {*row.answer};
    }
    h->client.onMenuTriggered(MenuItem::FileOpenLog);

    ASSERT_EQ(h->choosers.fileChoices.size(), 1u);
    const FileChoice& choice = h->choosers.fileChoices[0];
    EXPECT_EQ(choice.title, "Open Log File");
    EXPECT_EQ(choice.proposedName, "*.txt");
    EXPECT_FALSE(choice.mustExist);
    ASSERT_EQ(choice.filters.size(), 3u);
    EXPECT_EQ(choice.filters[1].description, "Log files (*.log)");
    EXPECT_EQ(h->prompts.questions.size(), row.answer ? 1u : 0u);
    if (row.opens) {
        EXPECT_TRUE(session().LogOpen);
        EXPECT_EQ(h->client.buttons().caption(Bar::Command, command_button::Log), "Close&Log");
        EXPECT_FALSE(h->window.menuEnabled[MenuItem::FileOpenLog]);
        EXPECT_TRUE(h->window.menuEnabled[MenuItem::FileCloseLog]);
        EXPECT_TRUE(h->window.labelVisible[StatusView::LogLabel]);
        EXPECT_EQ(h->window.labels[StatusView::LogLabel], "session.log");
        h->socket.receive("new\r\n");
    } else {
        expectClosed(false);
    }
    if (row.message) {
        ASSERT_EQ(h->prompts.messages.size(), 1u);
        EXPECT_EQ(h->prompts.messages[0].text.rfind(row.message, 0), 0u) << h->prompts.messages[0].text;
        EXPECT_EQ(h->prompts.messages[0].title, folder.file(row.chosen));
    } else {
        EXPECT_TRUE(h->prompts.messages.empty());
    }
    if (row.contentAfter) {
        EXPECT_EQ(folder.read("session.log"), row.contentAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, OpenLogTable,
    ::testing::Values(
        OpenLogRow{"ANewNameStartsANewLog", nullptr, "session.log", std::nullopt, true, "new\r\n", nullptr},
        OpenLogRow{"NoAppends", "old\r\n", "session.log", PromptAnswer::No, true, "old\r\nnew\r\n", nullptr},
        OpenLogRow{"YesEmptiesTheFile", "old\r\n", "session.log", PromptAnswer::Yes, true, "new\r\n",
                   nullptr},
        OpenLogRow{"CancelLeavesItClosed", "old\r\n", "session.log", PromptAnswer::Cancel, false, "old\r\n",
                   nullptr},
        OpenLogRow{"ChooserCancelled", nullptr, nullptr, std::nullopt, false, nullptr, nullptr},
        OpenLogRow{"AFolderIsPassedOverSilently", nullptr, "folder", std::nullopt, false, nullptr, nullptr},
        OpenLogRow{"AMissingFolderIsReportedWithItsNumber", nullptr, "missing/x.log", std::nullopt, false,
                   nullptr, "No such file or directory ( 76)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionLogTest, TheLogHoldsExactlyTheShownLines) {
    start();
    h->connect("Practice");
    openLog();
    // Before a log-in the server's prompt has no line end and is shown at once.
    h->socket.receive("Welcome!\r\nName: ");
    ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    h->socket.receive("[on]\r\n[vrox] #165 North Road\r\nNorth Road\r\nA\trutted road.\r\n[off]\r\ncut ");
    h->socket.receive("off\r\n");
    EXPECT_EQ(folder.read("session.log"),
              "Welcome!\r\nName: \r\nNorth Road\r\nA        rutted road.\r\ncut off\r\n");
    // It holds private pages: readable by the player alone.
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(folder.file("session.log")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    h->client.onMenuTriggered(MenuItem::FileCloseLog);
    expectClosed();
    h->socket.receive("after\r\n");
    EXPECT_EQ(folder.read("session.log").find("after"), std::string::npos);
}

TEST_F(SessionLogTest, TheLogIsInUtf8OrWithTimesOnlyWhenChosen) {
    start();
    h->connect("Practice");
    openLog();
    h->socket.receive("caf\xC3\xA9\r\n");
    h->client.settings().Play.set(PlayOption::Utf8Logs, true);
    h->socket.receive("caf\xC3\xA9\r\n");
    h->client.settings().Play.set(PlayOption::LogTimes, true);
    h->socket.receive("caf\xC3\xA9\r\n");
    const std::string log = folder.read("session.log");
    ASSERT_EQ(log.substr(0, 13), "caf\xE9\r\ncaf\xC3\xA9\r\n");
    const std::string stamped = log.substr(13);
    ASSERT_EQ(stamped.size(), 11u + 7u) << stamped;
    EXPECT_EQ(stamped[0], '[');
    EXPECT_EQ(stamped.substr(3, 1) + stamped.substr(6, 1), "::");
    EXPECT_EQ(stamped.substr(9), "] caf\xC3\xA9\r\n");
}

TEST_F(SessionLogTest, AFullDiskClosesTheLogAndSaysSoOnce) {
    logIn();
    h->choosers.files = {"/dev/full"};
    h->prompts.answers = {PromptAnswer::No};
    pressLog();
    ASSERT_TRUE(session().LogOpen);
    h->socket.receive("one\r\ntwo\r\n");
    expectClosed();
    EXPECT_TRUE(h->prompts.messages.empty());
    h->clock.runPending();
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_NE(h->prompts.messages[0].text.find("/dev/full"), std::string::npos);
    h->socket.receive("three\r\n");
    h->clock.runPending();
    EXPECT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_TRUE(session().Connected);
    EXPECT_NE(h->window.output.find("three"), std::string::npos);
}

TEST_F(SessionLogTest, TheDumpAsksForALogFirstAndLeavesItOpen) {
    logIn();
    h->socket.receive("first\r\nsecond\r\n");
    h->choosers.files = {folder.file("dump.txt")};
    h->client.onMenuTriggered(MenuItem::FileDumpOutput);
    ASSERT_TRUE(session().LogOpen);
    EXPECT_EQ(h->client.buttons().caption(Bar::Command, command_button::Log), "Close&Log");
    const std::string dumped = folder.read("dump.txt");
    EXPECT_EQ(dumped, h->client.outputBuffer().text() + "\r\n");
    EXPECT_NE(dumped.find("first\r\nsecond\r\n"), std::string::npos);
    h->socket.receive("third\r\n");
    EXPECT_EQ(folder.read("dump.txt"), dumped + "third\r\n");

    // With no log chosen there is nothing to dump into.
    pressLog();
    h->client.onMenuTriggered(MenuItem::FileDumpOutput);
    EXPECT_FALSE(session().LogOpen);
    EXPECT_TRUE(h->prompts.messages.empty());
}

TEST_F(SessionLogTest, TheEndOfTheSessionClosesTheLogAndShutDownSaysSo) {
    logIn();
    openLog();
    h->socket.serverCloses();
    expectClosed();
    EXPECT_TRUE(h->window.commandEnabled[command_button::Log]);
    h->prompts.messages.clear();

    openLog("offline.log");
    h->client.shutdown();
    h->client.shutdown();
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_EQ(h->prompts.messages[0].text, "Log File closed.");
    EXPECT_EQ(h->prompts.messages[0].title, "Corvane ver. 2.1");
    EXPECT_FALSE(session().LogOpen);
}

struct Encoded {
    const char* name;
    std::string utf8;
    std::string bytes;
    friend void PrintTo(const Encoded& row, std::ostream* out) { *out << row.name; }
};

struct LogEncodingTable : ::testing::TestWithParam<Encoded> {};

TEST_P(LogEncodingTable, Windows1252WhereItHasTheCharacter) {
    EXPECT_EQ(Utf8ToCp1252KeepingOthers(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Characters, LogEncodingTable,
                         ::testing::Values(Encoded{"Ascii", "say hi", "say hi"},
                                           Encoded{"Latin1", "caf\xC3\xA9", "caf\xE9"},
                                           Encoded{"EuroSign",
                                                   "\xE2\x82\xAC"
                                                   "5",
                                                   "\x80"
                                                   "5"},
                                           Encoded{"OutsideTheCodePageStaysUtf8",
                                                   "a\xE6\x97\xA5"
                                                   "b",
                                                   "a\xE6\x97\xA5"
                                                   "b"},
                                           Encoded{"StrayBytesAreKept",
                                                   "a\xFF"
                                                   "b",
                                                   "a\xFF"
                                                   "b"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
