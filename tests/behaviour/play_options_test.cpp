#include "behaviour/logged_in_client.h"
#include "core/name_completer.h"
#include "settings/play_options.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A client logged in on fakes whose Play options are set in its settings file.
struct PlayClient {
    LoggedInClient c;
    void logInWith(std::initializer_list<PlayOption> options) {
        std::string lines = "[Corvane]\r\n";
        for (PlayOption option : options) {
            lines += std::string(PlayOptionKey(option)) + "=True\r\n";
        }
        c.folder.write("CORVANE.INI", lines + "ProgramPath=" + c.folder.path() +
                                          "\r\n[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n"
                                          "MUD 2=Second,127.0.0.1,4202\r\n\r\n[Practice]\r\n"
                                          "Character 1=Tester,B5;@<!=&\r\n");
        c.logIn();
        c.h->clearOutput();
    }
    ClientHarness& h() { return *c.h; }
    void key(InputLine::Key which) { h().client.onInputKey(which); }
};

struct PlayTest : ::testing::Test, PlayClient {};

TEST_F(PlayTest, EveryOptionIsOnThePlayPageStoredAndReadBack) {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        SCOPED_TRACE(std::string(PlayOptionKey(option)));
        for (const bool on : {true, false}) {
            LoggedInClient fresh;
            fresh.start();
            EXPECT_EQ(fresh.h->client.settings().Play[option], PlayOptionDefault(option));
            fresh.h->client.onMenuTriggered(MenuItem::EditPreferences);
            FakePreferencesView* page = fresh.h->views.preferences;
            ASSERT_NE(page, nullptr);
            EXPECT_FALSE(page->playCaptions[i].empty());
            page->tickPlayOption(option, on);
            fresh.h->prompts.answers = {PromptAnswer::Yes};
            page->events->onOkApply(0);
            EXPECT_EQ(fresh.h->client.settings().Play[option], on);
            // Only a changed option is written; one left as it was keeps the file as it was.
            EXPECT_EQ(ReadSetting("Corvane", PlayOptionKey(option), fresh.ini),
                      on == PlayOptionDefault(option) ? "" : on ? "True" : "False");
            LoggedInClient again;
            again.folder.write("CORVANE.INI", fresh.folder.read("CORVANE.INI"));
            again.start();
            EXPECT_EQ(again.h->client.settings().Play[option], on);
        }
    }
}

TEST_F(PlayTest, ShowWhatISendEchoesSentLinesButNeverTheLogInLine) {
    logInWith({PlayOption::ShowSent});
    const std::size_t kept = h().client.sessionHistory().lineCount();
    h().type("look");
    h().type("connect Tester secret");
    EXPECT_EQ(h().window.output, "look\n");
    EXPECT_EQ(h().socket.allSent(), "look\r\nconnect Tester secret\r\n");
    EXPECT_EQ(h().client.sessionHistory().lineCount(), kept + 1);
}

// The echo in a colour of its own, chosen beside the option on the Play page.
TEST_F(PlayTest, WhatISendIsShownInItsOwnColourWhenChosen) {
    logInWith({PlayOption::ShowSent, PlayOption::SentInColour});
    h().window.appendedSpans.clear();
    h().type("look");
    EXPECT_EQ(h().window.output, "look\n");
    ASSERT_EQ(h().window.appendedSpans.size(), 1u);
    EXPECT_EQ(h().window.appendedSpans[0].first, "look");
    EXPECT_EQ(h().window.appendedSpans[0].second.style.foreground,
              Rgb::fromColourValue(PlayOptions::kDefaultSentColour));

    h().client.onMenuTriggered(MenuItem::EditPreferences);
    FakePreferencesView* page = h().views.preferences;
    EXPECT_EQ(page->sentColour, PlayOptions::kDefaultSentColour);
    h().choosers.colours = {0x0000FF};
    page->events->onChangeColour(2);
    EXPECT_EQ(page->sentColour, 0x0000FF);
    h().prompts.answers = {PromptAnswer::Yes};
    page->events->onOkApply(0);
    EXPECT_EQ(ReadSetting("Corvane", "SentColour", c.ini), "255");
    h().window.appendedSpans.clear();
    h().type("north");
    ASSERT_EQ(h().window.appendedSpans.size(), 1u);
    EXPECT_EQ(h().window.appendedSpans[0].second.style.foreground, Rgb::fromColourValue(0x0000FF));
}

TEST_F(PlayTest, WithoutShowWhatISendNothingIsEchoed) {
    logInWith({});
    h().type("look");
    EXPECT_EQ(h().window.output, "");
}

TEST_F(PlayTest, UpAndDownRecallSentLinesAndKeepTheLineBeingTyped) {
    logInWith({PlayOption::RecallCommands});
    h().type("north");
    h().type("look");
    h().window.input = "say hel";
    const std::vector<std::pair<InputLine::Key, std::string>> steps = {
        {InputLine::Key::Up, "look"},   {InputLine::Key::Up, "north"},   {InputLine::Key::Up, "north"},
        {InputLine::Key::Down, "look"}, {InputLine::Key::Down, "say hel"}, {InputLine::Key::Down, "say hel"},
    };
    for (const auto& [which, shown] : steps) {
        key(which);
        EXPECT_EQ(h().window.input, shown);
    }
    EXPECT_EQ(h().sound.beeps, 1);
    EXPECT_FALSE(h().client.inputLine().historyVisible());
    key(InputLine::Key::HistoryList);
    EXPECT_TRUE(h().client.inputLine().historyVisible());
}

TEST_F(PlayTest, ALineEscapeClearedIsTheNewestUpRecallsUntilALineIsSent) {
    logInWith({PlayOption::RecallCommands});
    h().type("north");
    h().window.input = "say half a thou";
    key(InputLine::Key::Escape);
    EXPECT_EQ(h().window.input, "");
    EXPECT_EQ(h().window.undoneInput, "say half a thou");
    const std::vector<std::pair<InputLine::Key, std::string>> steps = {
        {InputLine::Key::Up, "say half a thou"}, {InputLine::Key::Up, "north"},
        {InputLine::Key::Down, "say half a thou"}, {InputLine::Key::Down, ""}};
    for (const auto& [which, shown] : steps) {
        key(which);
        EXPECT_EQ(h().window.input, shown);
    }
    h().type("look");
    key(InputLine::Key::Up);
    EXPECT_EQ(h().window.input, "look");
    key(InputLine::Key::Up);
    EXPECT_EQ(h().window.input, "north");
    EXPECT_EQ(h().client.inputLine().history(), (std::deque<std::string>{"north", "look"}));
}

// A click into the output that selects nothing leaves the text running;
// selecting text pauses it until the selection goes or the box is left.
TEST_F(PlayTest, PauseOnlyWhileSelectingHoldsTextOnlyWhileTextIsSelected) {
    logInWith({PlayOption::PauseOnlySelecting});
    h().client.onOutputFocusIn();
    EXPECT_FALSE(h().client.session().OutputPaused);
    h().socket.receive("[on]\r\nfirst\r\n[off]\r\n");
    EXPECT_EQ(h().window.output, "first\n");
    h().window.selection = "first";
    h().client.onOutputSelectionChanged(true);
    EXPECT_TRUE(h().client.session().OutputPaused);
    EXPECT_NE(h().window.pauseBar, "");
    h().socket.receive("[on]\r\nsecond\r\n[off]\r\n");
    EXPECT_EQ(h().window.output, "first\n");
    h().window.selection.clear();
    h().client.onOutputSelectionChanged(false);
    EXPECT_FALSE(h().client.session().OutputPaused);
    EXPECT_EQ(h().window.output, "first\nsecond\n");
    EXPECT_EQ(h().window.pauseBar, "");

    h().window.selection = "first";
    h().client.onOutputSelectionChanged(true);
    h().client.onOutputFocusOut();
    EXPECT_FALSE(h().client.session().OutputPaused);
    h().client.onOutputFocusIn();
    EXPECT_TRUE(h().client.session().OutputPaused) << "coming back to a selection pauses again";
}

TEST_F(PlayTest, WithoutRecallUpOpensTheHistoryListAsBefore) {
    logInWith({});
    h().type("north");
    key(InputLine::Key::Up);
    EXPECT_TRUE(h().client.inputLine().historyVisible());
    EXPECT_EQ(h().window.input, "");
}

TEST_F(PlayTest, QuietNoticesPassThroughTheStatusLineForFiveSeconds) {
    logInWith({PlayOption::QuietNotices});
    h().client.onMenuTriggered(MenuItem::GameIdle);
    EXPECT_EQ(h().views.notice, nullptr);
    EXPECT_EQ(h().window.labels[StatusView::StatusLabel], "Begin Idle.");
    h().clock.advance(std::chrono::milliseconds(4900));
    EXPECT_EQ(h().window.labels[StatusView::StatusLabel], "Begin Idle.");
    h().clock.advance(std::chrono::milliseconds(200));
    EXPECT_EQ(h().window.labels[StatusView::StatusLabel], "Status: IDLE");
}

TEST_F(PlayTest, WithoutQuietNoticesTheNoticeWindowShows) {
    logInWith({});
    h().client.onMenuTriggered(MenuItem::GameIdle);
    ASSERT_NE(h().views.notice, nullptr);
    EXPECT_EQ(h().views.notice->text, "Begin Idle.");
    EXPECT_FALSE(h().views.notice->tookFocus);
}

TEST_F(PlayTest, TheConnectDialogStartsAtTheWorldLastConnectedWhenChosen) {
    for (const bool chosen : {true, false}) {
        SCOPED_TRACE(chosen ? "chosen" : "not chosen");
        LoggedInClient fresh;
        fresh.folder.write("CORVANE.INI", std::string("[Corvane]\r\nStartAtLastWorld=") + (chosen ? "True" : "False") +
                                              "\r\n[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n"
                                              "MUD 2=Second,127.0.0.1,4202\r\n");
        fresh.start();
        fresh.h->views.addressBookScript = [](FakeAddressBookView& dialog) {
            dialog.pick(1);
            dialog.events->onOk();
        };
        fresh.h->client.FileConnect();
        fresh.h->socket.accept();
        fresh.h->client.onMenuTriggered(MenuItem::FileDisconnect);
        int selected = -2;
        fresh.h->views.addressBookScript = [&selected](FakeAddressBookView& dialog) {
            selected = dialog.selected;
            dialog.clickCancel();
        };
        fresh.h->client.FileConnect();
        EXPECT_EQ(selected, chosen ? 1 : 0);
    }
}

TEST_F(PlayTest, TabCompletesNamesSeenAndCyclesWhenChosen) {
    logInWith({PlayOption::CompleteNames});
    h().socket.receive("Wren pages: are you there?\r\nWrath whispers, \"boo\"\r\n");
    h().window.input = "page wr=hi";
    h().window.caret = 7;
    key(InputLine::Key::Tab);
    EXPECT_EQ(h().window.input, "page Wrath=hi");
    EXPECT_EQ(h().window.caret, 10u);
    key(InputLine::Key::Tab);
    EXPECT_EQ(h().window.input, "page Wren=hi");
    key(InputLine::Key::Tab);
    EXPECT_EQ(h().window.input, "page Wrath=hi");
    h().window.input = "zz";
    EXPECT_TRUE(h().client.onInputKey(InputLine::Key::Tab));
    EXPECT_EQ(h().sound.beeps, 1);
}

// Names from a room's contents and from who-is-here, asleep or awake, are
// completed too; things with blanks in their names are not names.
TEST_F(PlayTest, TabCompletesNamesFromTheRoomsContentsAndWhoIsHere) {
    logInWith({PlayOption::CompleteNames});
    h().socket.receive("Town Square\r\nA wide square.\r\nContents:\r\nQuill(#123PM)\r\na rusty key(#44)\r\n"
                       "Obvious exits: north\r\nQuentin says, \"hi\"\r\n"
                       "The players awake here are Tester, Xavi, and Quorra.\r\n"
                       "The sleepers here are Zelda[3m], and Zed.\r\nYuri is asleep here.\r\n");
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"qu", "Quorra"}, {"Qui", "Quill"}, {"xa", "Xavi"}, {"zel", "Zelda"}, {"zed", "Zed"}, {"yu", "Yuri"}};
    for (const auto& [typed, completed] : rows) {
        h().window.input = "look " + typed;
        h().window.caret = h().window.input.size();
        key(InputLine::Key::Tab);
        EXPECT_EQ(h().window.input, "look " + completed) << typed;
    }
    for (const char* unknown : {"a", "Obv", "Quen", "rus"}) {
        h().window.input = std::string("look ") + unknown;
        h().window.caret = h().window.input.size();
        key(InputLine::Key::Tab);
        EXPECT_EQ(h().window.input, std::string("look ") + unknown);
    }
}

TEST_F(PlayTest, WithoutCompletionTabLeavesTheLine) {
    logInWith({});
    h().socket.receive("Wren pages: hi\r\n");
    h().window.input = "wr";
    EXPECT_FALSE(h().client.onInputKey(InputLine::Key::Tab));
    EXPECT_EQ(h().window.input, "wr");
}

TEST_F(PlayTest, SpeedwalkSendsAStepACommandOnlyWhenChosenAndOnlyWithACount) {
    struct Row {
        std::string typed;
        std::string sentWhenOn;
    };
    const Row rows[] = {
        {"3n2e", "n\r\nn\r\nn\r\ne\r\ne\r\n"},
        {"2nwu", "n\r\nn\r\nw\r\nu\r\n"},
        {"sew", "sew\r\n"}, // a word of direction letters is not a walk
        {"n", "n\r\n"},     // nor is one step without a count
        {"3n2", "3n2\r\n"}, // a count with no direction after it
        {"0n", "0n\r\n"},
        {"101n", "101n\r\n"}, // too long to be meant
        {"60n60s", "60n60s\r\n"},
        {"3n say", "3n say\r\n"},
        {"\\3n", "3n\r\n"}, // a backslash sends it as typed
    };
    for (const bool on : {true, false}) {
        PlayClient client;
        on ? client.logInWith({PlayOption::Speedwalk}) : client.logInWith({});
        for (const Row& row : rows) {
            const std::size_t before = client.h().socket.allSent().size();
            client.h().type(row.typed);
            EXPECT_EQ(client.h().socket.allSent().substr(before), on ? row.sentWhenOn : row.typed + "\r\n")
                << row.typed << (on ? " on" : " off");
        }
    }
}

TEST_F(PlayTest, SemicolonsSplitWhatIsTypedOnlyWhenChosen) {
    const std::pair<std::string, std::string> rows[] = {
        {"look;north", "look\r\nnorth\r\n"},
        {"say a\\;b;;n", "say a;b\r\nn\r\n"},
        {"3n;look", "n\r\nn\r\nn\r\nlook\r\n"}, // each piece may be a walk
        {"connect Tester pa;ss", "connect Tester pa;ss\r\n"},
        {"", "\r\n"},
    };
    logInWith({PlayOption::SplitTyped, PlayOption::Speedwalk});
    for (const auto& [typed, sent] : rows) {
        const std::size_t before = h().socket.allSent().size();
        h().type(typed);
        EXPECT_EQ(h().socket.allSent().substr(before), sent) << typed;
    }
    PlayClient without;
    without.logInWith({});
    without.h().type("look;north");
    EXPECT_EQ(without.h().socket.allSent().substr(without.h().socket.allSent().size() - 12), "look;north\r\n");
}

TEST(NameCompleter, CompletesFromTheMostRecentNameThatFits) {
    NameCompleter names;
    const std::vector<std::pair<std::string, bool>> lines = {
        {"Ann pages, \"hi\" to you.", true}, {"Bob whispers, \"psst\"", true}, {"Cat says, \"hi\"", false},
        {"pages: nobody", false},            {"Anya pages: yo", true}};
    for (const auto& [line, _] : lines) {
        names.learnFromLine(line);
    }
    EXPECT_EQ(names.complete("a", 1)->text, "Anya");
    EXPECT_EQ(names.complete("Anya", 4)->text, "Ann");
    EXPECT_EQ(names.complete("Ann", 3)->text, "Anya");
    EXPECT_EQ(names.complete("b", 1)->text, "Bob");
    EXPECT_FALSE(names.complete("c", 1));
    EXPECT_FALSE(names.complete("look ", 5));
}

TEST(NewWindow, StartsAnotherCorvaneOnTheSameSettingsFile) {
    LoggedInClient c;
    c.start();
    c.h->client.onMenuTriggered(MenuItem::FileNewWindow);
    ASSERT_EQ(c.h->launcher.started.size(), 1u);
    EXPECT_EQ(c.h->launcher.started[0].arguments, (std::vector<std::string>{"--settings", c.ini}));
}

// Two windows on one settings file, each adding a world while the other's
// dialog is open too: both worlds are kept.
TEST(NewWindow, TwoInstancesEachAddAWorldAndBothAreKept) {
    LoggedInClient first;
    first.start();
    LoggedInClient second;
    second.ini = first.ini;
    second.h = std::make_unique<ClientHarness>("", first.ini);
    second.h->client.start(false);
    const auto addWorld = [](ClientHarness& h, const std::string& name, std::function<void()> meanwhile) {
        h.prompts.answers = {PromptAnswer::Yes};
        h.views.addressBookScript = [name, meanwhile](FakeAddressBookView& d) {
            if (meanwhile) {
                meanwhile();
            }
            d.clickNew();
            d.newName = name;
            d.typeHost(name + ".example");
            d.typePort("4000");
            d.clickOk();
        };
        h.client.FileConnect();
    };
    addWorld(*first.h, "Delta", [&] { addWorld(*second.h, "Gamma", nullptr); });
    const std::string book = first.folder.read("CORVANE.INI");
    EXPECT_NE(book.find("=Gamma,Gamma.example,4000"), std::string::npos) << book;
    EXPECT_NE(book.find("=Delta,Delta.example,4000"), std::string::npos) << book;
    EXPECT_NE(book.find("=Practice,127.0.0.1,4201"), std::string::npos) << book;
}

} // namespace
} // namespace corvane::testing
