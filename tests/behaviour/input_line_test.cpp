#include "fakes/client_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct InputLineTest : ::testing::Test {
    ClientHarness h;
    void SetUp() override { h.connect(); }
};

TEST_F(InputLineTest, ATypedLineLeavesWithCrLfAndJoinsTheHistory) {
    h.type("look");
    EXPECT_EQ(h.socket.allSent(), "look\r\n");
    EXPECT_EQ(h.window.history, std::vector<std::string>{"look"});
    EXPECT_EQ(h.window.input, "");
}

TEST_F(InputLineTest, AnEmptyLineSendsOnlyCrLfAndIsNotRemembered) {
    h.client.session().PendingReplies = 0;
    h.type("");
    EXPECT_EQ(h.socket.allSent(), "\r\n");
    EXPECT_TRUE(h.window.history.empty());
    EXPECT_EQ(h.client.session().PendingReplies, 0);
}

TEST_F(InputLineTest, TheHistoryKeepsTheNewest127Entries) {
    for (int i = 1; i <= 128; ++i) {
        h.type("cmd " + std::to_string(i));
    }
    ASSERT_EQ(h.window.history.size(), 127u);
    EXPECT_EQ(h.window.history.front(), "cmd 2");
    EXPECT_EQ(h.window.history.back(), "cmd 128");
    EXPECT_EQ(h.client.inputLine().history().size(), 127u);
}

TEST_F(InputLineTest, EscapeClearsWithoutSending) {
    h.window.input = "typo";
    EXPECT_TRUE(h.client.onInputKey(InputLine::Key::Escape));
    EXPECT_EQ(h.window.input, "");
    EXPECT_TRUE(h.socket.sent.empty());
}

TEST_F(InputLineTest, TypingWhileOffLineKeepsTheLineWithABeep) {
    h.client.onMenuTriggered(MenuItem::FileDisconnect);
    h.socket.sent.clear();
    const int beeps = h.sound.beeps;
    h.type("kept");
    EXPECT_TRUE(h.socket.sent.empty());
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_EQ(h.window.input, "kept");
    EXPECT_EQ(h.sound.beeps, beeps + 1);
}

TEST_F(InputLineTest, EveryKeyIsRefusedWithABeepWhileAFileIsSent) {
    h.client.session().SendingFile = true;
    h.window.input = "x";
    EXPECT_TRUE(h.client.onInputKey(InputLine::Key::Other));
    EXPECT_TRUE(h.client.onInputKey(InputLine::Key::Enter));
    EXPECT_EQ(h.sound.beeps, 2);
    EXPECT_TRUE(h.socket.sent.empty());
    h.client.session().SendingFile = false;
    EXPECT_FALSE(h.client.onInputKey(InputLine::Key::Other));
}

TEST_F(InputLineTest, UpOpensTheHistoryWithTheNewestSelectedAndPicksAnEntry) {
    h.type("north");
    h.type("south");
    EXPECT_TRUE(h.client.onInputKey(InputLine::Key::Up));
    EXPECT_TRUE(h.window.historyShown);
    EXPECT_EQ(h.window.focus, "history");
    h.client.onHistoryFocusIn();
    EXPECT_EQ(h.window.historySelection, 1);

    h.window.historySelection = 0;
    h.client.onHistoryToggle();
    EXPECT_FALSE(h.window.historyShown);
    EXPECT_EQ(h.window.input, "north");
    EXPECT_TRUE(h.window.inputAllSelected);
    EXPECT_EQ(h.window.focus, "input");
}

TEST_F(InputLineTest, TogglingWithNothingSelectedOnlyHidesTheList) {
    h.window.input = "half typed";
    h.client.onHistoryToggle();
    h.window.historySelection = -1;
    h.client.onHistoryToggle();
    EXPECT_FALSE(h.window.historyShown);
    EXPECT_EQ(h.window.input, "half typed");
}

TEST_F(InputLineTest, EscapeOrLeavingTheListHidesIt) {
    h.type("look");
    h.client.onHistoryToggle();
    h.client.onHistoryFocusIn();
    h.client.onHistoryEscape();
    EXPECT_EQ(h.window.historySelection, -1);
    EXPECT_EQ(h.window.focus, "input");
    EXPECT_FALSE(h.window.historyShown);

    h.client.onHistoryToggle();
    h.client.onHistoryFocusOut();
    EXPECT_FALSE(h.window.historyShown);
    EXPECT_FALSE(h.client.inputLine().historyVisible());
}

} // namespace
} // namespace corvane::testing
