#include "behaviour/logged_in_client.h"
#include "macros/file_sender.h"
#include "macros/user_macros.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct MacroButtons : ::testing::Test, LoggedInClient {
    std::string macro(const std::string& name, const std::string& lines) {
        folder.write(name, lines);
        return folder.file(name);
    }
    void press(int index) { h->client.onMacroButton(index); }
};

// ---- Stored macros ------------------------------------------------------

struct StoredMacro {
    const char* name;
    const char* value; // "Macro 3" in the world's section; nullptr: no key
    const char* caption;
    const char* file;
    friend void PrintTo(const StoredMacro& row, std::ostream* out) { *out << row.name; }
};

struct LoadMacrosTable : MacroButtons, ::testing::WithParamInterface<StoredMacro> {};

TEST_P(LoadMacrosTable, TheLogInSetsCaptionAndFile) {
    const StoredMacro& row = GetParam();
    logIn(row.value ? std::string("Macro 3=") + row.value + "\r\n" : std::string());
    EXPECT_EQ(h->client.buttons().caption(Bar::Macro, 2), row.caption);
    EXPECT_EQ(h->client.macros().file(2), row.file);
    EXPECT_TRUE(h->window.macroEnabled[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LoadMacrosTable,
    ::testing::Values(StoredMacro{"NameAndPath", "Walk,/m/walk.cmd", "Walk", "/m/walk.cmd"},
                      StoredMacro{"LeadingCommaKeepsTheCaption", ",/m/walk.cmd", "User &3", "/m/walk.cmd"},
                      StoredMacro{"OneCharacterFileIsNoFile", "Walk,w", "Walk", ""},
                      StoredMacro{"TwoCharacterFileCounts", "Walk,ab", "Walk", "ab"},
                      StoredMacro{"NoCommaIsAllFile", "/m/walk.cmd", "User &3", "/m/walk.cmd"},
                      StoredMacro{"ExtraCommasBelongToThePath", "Walk,/m/a,b.cmd", "Walk", "/m/a,b.cmd"},
                      StoredMacro{"NoKey", nullptr, "User &3", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct DefaultName {
    const char* name;
    int worldIndex;
    int macro;
    const char* file;
    friend void PrintTo(const DefaultName& row, std::ostream* out) { *out << row.name; }
};

struct DefaultMacroFileTable : ::testing::TestWithParam<DefaultName> {};

TEST_P(DefaultMacroFileTable, NumbersTheWorldWithThreeDigits) {
    EXPECT_EQ(DefaultMacroFile("/home/u/", GetParam().worldIndex, GetParam().macro), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultMacroFileTable,
                         ::testing::Values(DefaultName{"FirstWorldFirstMacro", 0, 1, "/home/u/MACR0001.CMD"},
                                           DefaultName{"TwelfthWorld", 11, 9, "/home/u/MACR0119.CMD"},
                                           DefaultName{"FourDigitWorld", 1234, 2, "/home/u/MACR12342.CMD"},
                                           DefaultName{"NoWorld", -1, 1, "/home/u/MACR-0011.CMD"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MacroButtons, ResetSessionGivesBackTheDefaultCaptions) {
    logIn("Macro 1=Walk,/m/walk.cmd\r\n");
    h->socket.serverCloses();
    EXPECT_EQ(h->window.macroCaptions[0], "User &1");
    EXPECT_FALSE(h->window.macroEnabled[0]);
    EXPECT_TRUE(h->window.commandEnabled[command_button::Log]);
}

TEST_F(MacroButtons, AButtonWithoutAFileShowsMacroError) {
    logIn();
    press(3);
    EXPECT_TRUE(h->socket.sent.empty());
    ASSERT_NE(h->views.notice, nullptr);
    EXPECT_TRUE(h->views.notice->shown);
    EXPECT_EQ(h->views.notice->caption, "MACRO ERROR");
    EXPECT_EQ(h->views.notice->text, "No Macro Defined for User 4\n\nTo define a macro, select\n"
                                     "Edit | User Macros  from the\nMain Menu, or Press the F5 Key");
    EXPECT_FALSE(session().SendingFile);
}

// ---- Playing a file -------------------------------------------------------

struct PlayedFile {
    const char* name;
    std::string content;
    std::string sent;
    friend void PrintTo(const PlayedFile& row, std::ostream* out) { *out << row.name; }
};

struct SendFileTable : MacroButtons, ::testing::WithParamInterface<PlayedFile> {};

TEST_P(SendFileTable, EveryLineLeavesWithCrLf) {
    logIn();
    const std::string path = macro("play.cmd", GetParam().content);
    h->client.macros().setFile(0, path);
    press(0);
    play();
    EXPECT_EQ(h->socket.allSent(), GetParam().sent);
    EXPECT_FALSE(session().SendingFile);
    EXPECT_EQ(h->window.statusHistory.back(), "Status: On Line");
    EXPECT_EQ(h->window.focus, "input");
}

const std::string kLongLine(10000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files, SendFileTable,
    ::testing::Values(
        PlayedFile{"CrLfLinesWithAnEmptyOne", "look\r\n\r\nsay hi\r\n", "look\r\n\r\nsay hi\r\n"},
        PlayedFile{"LineFeedsAndNoLastLineEnd", "look\n\nsay hi", "look\r\n\r\nsay hi\r\n"},
        PlayedFile{"BareCarriageReturns", "look\r\rsay hi\r", "look\r\n\r\nsay hi\r\n"},
        PlayedFile{"NulAndWindows1252Bytes", std::string("a\0b\r\ncaf\xE9\r\n", 11),
                   std::string("a\0b\r\ncaf\xE9\r\n", 11)},
        PlayedFile{"Utf8IsSentAsWindows1252", "caf\xC3\xA9\r\n", "caf\xE9\r\n"},
        PlayedFile{"ALongLineKeepsItsBytes", kLongLine + "\r\nend\r\n", kLongLine + "\r\nend\r\n"},
        // The first piece would end between the two bytes of the é.
        PlayedFile{"ALongLineIsCutBetweenCharacters", std::string(4095, 'x') + "\xC3\xA9\xE2\x82\xAC\r\n",
                   std::string(4095, 'x') + "\xE9\x80\r\n"},
        PlayedFile{"EmptyFile", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MacroButtons, AHundredThousandLinesLeaveInOrderInBatchesCountingUpAtMostEveryTenthSecond) {
    logIn();
    std::string content;
    for (int i = 1; i <= 100000; ++i) {
        content += "say " + std::to_string(i) + "\r\n";
    }
    h->client.macros().setFile(0, macro("long.cmd", content));
    h->socket.slowSends = true;
    press(0);
    const std::string sending = "Status: Sending " + folder.file("long.cmd") + ", line ";
    std::vector<std::string> counts;
    for (int turns = 0; session().SendingFile && turns < 1000; ++turns) {
        h->socket.completeSend();
        h->clock.advance(std::chrono::milliseconds(40));
    }
    for (const std::string& status : h->window.statusHistory) {
        // The send queue puts the count back after its own "Waiting to send".
        if (status.starts_with(sending) && (counts.empty() || counts.back() != status.substr(sending.size()))) {
            counts.push_back(status.substr(sending.size()));
        }
    }
    EXPECT_EQ(h->socket.allSent(), content);
    EXPECT_LE(h->socket.sent.size(), 100000 / FileSender::kBatchLines + 2) << "in batches";
    // Batches leave at 0, 0, 40, 80 and 120 ms: the fifth is the first
    // that may show its line.
    ASSERT_GE(counts.size(), 3u);
    EXPECT_EQ(counts[0], "1");
    EXPECT_EQ(counts[1], std::to_string(4 * FileSender::kBatchLines + 1));
    EXPECT_EQ(h->window.statusHistory.back(), "Status: On Line");
}

TEST_F(MacroButtons, BatchesArePacedByTheSendQueueAndKeysAreDroppedMeanwhile) {
    logIn();
    std::string first;
    for (long i = 1; i <= FileSender::kBatchLines; ++i) {
        first += "say " + std::to_string(i) + "\r\n";
    }
    const std::string path = macro("play.cmd", first + "two\r\n");
    h->client.macros().setFile(0, path);
    h->socket.slowSends = true;
    press(0);
    EXPECT_EQ(h->socket.sent, std::vector<std::string>{first});
    EXPECT_TRUE(session().SendingFile);
    h->window.input = "x";
    EXPECT_TRUE(h->client.onInputKey(InputLine::Key::Enter));
    EXPECT_EQ(h->sound.beeps, 1);

    h->clock.runPending();
    EXPECT_EQ(h->socket.sent.size(), 1u);
    h->socket.completeSend();
    h->clock.runPending();
    EXPECT_EQ(h->socket.sent, (std::vector<std::string>{first, "two\r\n"}));
    EXPECT_EQ(h->window.statusHistory.back(), "Status: Waiting to send...");
    h->socket.completeSend();
    play();
    EXPECT_FALSE(session().SendingFile);
    EXPECT_EQ(h->window.statusHistory.back(), "Status: On Line");
    EXPECT_EQ(h->window.input, "x");
}

TEST_F(MacroButtons, ASecondFileWaitsForTheFirst) {
    logIn();
    h->client.macros().setFile(0, macro("a.cmd", "a1\r\na2\r\n"));
    h->client.macros().setFile(1, macro("b.cmd", "b1\r\n"));
    press(0);
    press(1);
    play();
    EXPECT_EQ(h->socket.allSent(), "a1\r\na2\r\nb1\r\n");
}

// A file of one full batch and one more line.
std::string batchAndOne(std::string& firstBatch) {
    firstBatch.clear();
    for (long i = 1; i <= FileSender::kBatchLines; ++i) {
        firstBatch += "say " + std::to_string(i) + "\r\n";
    }
    return firstBatch + "two\r\n";
}

TEST_F(MacroButtons, AFileDeletedWhilePlayingStopsThereSilently) {
    logIn();
    std::string first;
    h->client.macros().setFile(0, macro("play.cmd", batchAndOne(first)));
    h->socket.slowSends = true;
    press(0);
    std::filesystem::remove(folder.file("play.cmd"));
    h->socket.completeSend();
    play();
    EXPECT_EQ(h->socket.allSent(), first);
    EXPECT_FALSE(session().SendingFile);
    EXPECT_TRUE(h->prompts.messages.empty());
}

TEST_F(MacroButtons, ALostConnectionUnlocksTheInputLine) {
    logIn();
    std::string first;
    h->client.macros().setFile(0, macro("play.cmd", batchAndOne(first)));
    h->socket.slowSends = true;
    press(0);
    h->socket.serverCloses();
    play();
    EXPECT_FALSE(session().SendingFile);
    EXPECT_EQ(h->socket.allSent(), first);
    EXPECT_EQ(h->window.statusHistory.back(), "Status: Off Line");
}

} // namespace
} // namespace corvane::testing
