#include "behaviour/logged_in_client.h"
#include "core/own_command_answers.h"
#include "param_name.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

const std::string kRemoval = "@set me=_arrive/vrox:\r\n";

// Each orderly way out takes the arrival hook off before the line goes.
struct WayOut {
    const char* name;
    std::function<void(LoggedInClient&)> leave;
    std::string sent;
};

class LeavingTest : public ::testing::TestWithParam<WayOut> {};

TEST_P(LeavingTest, RemovesTheArrivalHookFirst) {
    LoggedInClient c;
    c.logIn();
    GetParam().leave(c);
    EXPECT_EQ(c.h->socket.allSent(), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    OwnCommands, LeavingTest,
    ::testing::Values(
        WayOut{"TypedQuit", [](LoggedInClient& c) { c.h->type("QUIT"); }, kRemoval + "QUIT\r\n"},
        WayOut{"TypedLowerCaseQuit", [](LoggedInClient& c) { c.h->type("quit"); }, kRemoval + "quit\r\n"},
        WayOut{"QuitButton", [](LoggedInClient& c) { c.h->client.onCommandButton(command_button::Quit); },
               kRemoval + "QUIT\r\n"},
        WayOut{"FileDisconnect", [](LoggedInClient& c) { c.h->client.onMenuTriggered(MenuItem::FileDisconnect); },
               kRemoval},
        WayOut{"FileExit", [](LoggedInClient& c) { c.h->client.onMenuTriggered(MenuItem::FileExit); }, kRemoval},
        WayOut{"WindowClosed", [](LoggedInClient& c) { c.h->client.onCloseRequested(); }, kRemoval},
        WayOut{"TypedQuitTwiceRemovesOnce",
               [](LoggedInClient& c) {
                   c.h->type("QUIT");
                   c.h->type("QUIT");
               },
               kRemoval + "QUIT\r\nQUIT\r\n"},
        WayOut{"OtherLinesLeaveTheHook", [](LoggedInClient& c) { c.h->type("quit now"); }, "quit now\r\n"},
        WayOut{"ADroppedLinkCannot",
               [](LoggedInClient& c) {
                   c.h->socket.serverCloses();
                   c.h->client.onCloseRequested();
               },
               ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OwnCommands, NoHookIsRemovedWhenNoneWasSet) {
    ClientHarness h;
    h.connect();
    h.client.onMenuTriggered(MenuItem::FileDisconnect);
    EXPECT_EQ(h.socket.allSent(), "");
}

// The answers to the log-in's own commands, by stream order: the lines a
// world sends after the log-in, and what the player sees of them.
struct Answers {
    const char* name;
    std::string received;
    std::string shown;
};

class OwnAnswersTest : public ::testing::TestWithParam<Answers> {};

TEST_P(OwnAnswersTest, HidesExactlyOneLinePerOwnCommand) {
    LoggedInClient c;
    c.logIn();
    c.h->clearOutput();
    c.session().TagMode = false;
    c.h->socket.receive(GetParam().received);
    EXPECT_EQ(c.h->window.output, GetParam().shown);
}

const std::string kHuh = "Huh?  (Type \"help\" for help.)\r\n";

INSTANTIATE_TEST_SUITE_P(
    OwnCommands, OwnAnswersTest,
    ::testing::Values(
        Answers{"UnframedWorld", "Welcome!\r\nThe Plaza\r\nProperty set.\r\n" + kHuh + kHuh + "after\r\n",
                "Welcome!\nThe Plaza\nafter\n"},
        Answers{"FramedWorldAnswersTheHookOnly", "Welcome!\r\nProperty set.\r\n[on]\r\n" + kHuh,
                "Welcome!\n[on]\n" + std::string("Huh?  (Type \"help\" for help.)\n")},
        Answers{"APlayersPropertySetBeforeTheAnswerIsShown",
                "Property set.\r\nProperty set.\r\nProperty set.\r\n" + kHuh + kHuh,
                "Property set.\nProperty set.\n" + std::string("Huh?  (Type \"help\" for help.)\n") +
                    "Huh?  (Type \"help\" for help.)\n"},
        Answers{"OneHuhOnlyThenTheWorldTalks", "Property set.\r\n" + kHuh + "You say hi.\r\n" + kHuh,
                "You say hi.\nHuh?  (Type \"help\" for help.)\n"},
        Answers{"AHuhBeforeTheHookIsAnsweredIsThePlayers", kHuh + "Property set.\r\n" + kHuh + kHuh,
                "Huh?  (Type \"help\" for help.)\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OwnCommands, TheRemovalsAnswerIsHiddenAndNothingAfterIt) {
    for (const std::string answer : {"Property set.", "Property removed."}) {
        OwnCommandAnswers answers;
        answers.expect(OwnAnswer::PropertySet);
        EXPECT_FALSE(answers.hides("Goodbye"));
        EXPECT_TRUE(answers.hides(answer));
        EXPECT_FALSE(answers.waiting());
        EXPECT_FALSE(answers.hides(answer));
        EXPECT_FALSE(answers.hides("Huh?  (Type \"help\" for help.)"));
    }
}

} // namespace
} // namespace corvane::testing
