#include "behaviour/logged_in_client.h"
#include "conversations/conversation_log.h"
#include "conversations/conversation_settings.h"
#include "fakes/fake_conversation_routes_view.h"
#include "fakes/fake_notifier.h"
#include "settings/play_options.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// ---- Which lines the built-in routes take, and whose they are ----

struct RouteRow {
    const char* name;
    const char* line;
    // Empty: no route takes the line.
    const char* who;
    const char* route;
    ServerKind server = ServerKind::Muck;
};

class BuiltInRoutes : public ::testing::TestWithParam<RouteRow> {};

TEST_P(BuiltInRoutes, TakeTheMuckFormatsAndLeaveLookAlikes) {
    ConversationRouter router;
    router.setRoutes(BuiltInConversationRoutes());
    ASSERT_TRUE(router.errors().empty());
    const std::optional<RoutedLine> routed = router.route(GetParam().line, GetParam().server);
    if (std::string(GetParam().who).empty()) {
        EXPECT_FALSE(routed) << "taken by " << router.routes()[routed->route].key;
        return;
    }
    ASSERT_TRUE(routed);
    EXPECT_EQ(routed->who, GetParam().who);
    EXPECT_EQ(router.routes()[routed->route].key, GetParam().route);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BuiltInRoutes,
    ::testing::Values(
        RouteRow{"PageColon", "Alice pages: hello", "Alice", "PagesReceived"},
        RouteRow{"PageQuoted", "Alice pages, \"hello\" to you.", "Alice", "PagesReceivedQuoted"},
        RouteRow{"PagePose", "In a page-pose to you, Alice waves.", "Alice", "PagePoses"},
        RouteRow{"PageLook", "You sense that Alice is looking for you in Town Square.", "Alice", "PageLooks"},
        RouteRow{"PagedOldStyle", "You paged Alice with \"hello\".", "Alice", "PagesSent"},
        RouteRow{"PageSent", "You page, \"hello\" to Alice.", "Alice", "PagesSentQuoted"},
        RouteRow{"WhisperReceived", "Alice whispers, \"hello\"", "Alice", "WhispersReceived"},
        RouteRow{"WhisperToYou", "Alice whispers, \"hello\" to you.", "Alice", "WhispersReceived"},
        RouteRow{"WhisperSent", "You whisper, \"hello\" to Alice.", "Alice", "WhispersSent"},
        RouteRow{"MultiPage", "Alice pages, \"hi\" to you, Bob.", "Alice", "MultiPages"},
        RouteRow{"QuotesInsideThePage", "Alice pages, \"she said \"hi\" to me\" to you.", "Alice",
                 "PagesReceivedQuoted"},
        RouteRow{"SayingPagesInASay", "Bob says, \"Alice pages: hi\"", "", ""},
        RouteRow{"SayingAPageInASay", "Bob says, \"Alice pages, \"hi\" to you.\"", "", ""},
        RouteRow{"PosingAWhisper", "Bob nods. Alice whispers, \"hi\"", "", ""},
        RouteRow{"PagesAsAVerb", "Alice pages through the book.", "", ""},
        RouteRow{"NoNameBeforePages", "pages: nobody", "", ""},
        RouteRow{"SenseWithoutAPlace", "You sense that Alice is looking for you", "", ""},
        RouteRow{"LowerCaseYou", "you page, \"hello\" to Alice.", "", ""},
        RouteRow{"PlainSay", "Alice says, \"hello\"", "", ""},
        RouteRow{"MushWhisper", "Alice whispers: hello", "Alice", "MushWhispersReceived", ServerKind::Mush},
        RouteRow{"MushWhisperFormOnAMuck", "Alice whispers: hello", "", "", ServerKind::Muck},
        RouteRow{"MushPagePose", "From afar, Alice waves", "Alice", "MushPagePoses", ServerKind::Mush},
        RouteRow{"MushPagePoseInASay", "Bob says, \"From afar, Alice waves\"", "", "", ServerKind::Mush},
        RouteRow{"MushOwnPage", "You paged Alice with 'hello'.", "Alice", "MushPagesSent", ServerKind::Mush},
        RouteRow{"MushOwnPageFormOnAMuck", "You paged Alice with 'hello'.", "", "", ServerKind::Muck},
        RouteRow{"MushOwnPagePose", "Long distance to Alice: Tester waves", "Alice", "MushPagePosesSent",
                 ServerKind::Mush},
        RouteRow{"MuckPageOnAMush", "Alice pages: hello", "Alice", "PagesReceived", ServerKind::Mush},
        RouteRow{"DikuTell", "Alice tells you, 'hello there'", "Alice", "DikuTellsReceived", ServerKind::Mud},
        RouteRow{"DikuTellFormOnAMuck", "Alice tells you, 'hello there'", "", "", ServerKind::Muck},
        RouteRow{"DikuOwnTell", "You tell Alice, 'hi'", "Alice", "DikuTellsSent", ServerKind::Mud},
        RouteRow{"DikuWhisper", "Alice whispers to you, 'psst'", "Alice", "DikuWhispersReceived",
                 ServerKind::Mud},
        RouteRow{"DikuOwnWhisper", "You whisper to Alice, 'psst'", "Alice", "DikuWhispersSent",
                 ServerKind::Mud},
        RouteRow{"DikuTellInASay", "Bob says, 'Alice tells you, 'hi''", "", "", ServerKind::Mud},
        RouteRow{"DikuMobWithASpacedName", "The guard tells you, 'halt'", "", "", ServerKind::Mud},
        RouteRow{"DikuTellCutShort", "Alice tells you, 'hi' and leaves.", "", "", ServerKind::Mud}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversationRoutes, PuppetsMatchTheirPrefixOnlyAtTheStartAndSwitchedOffRoutesNothing) {
    ConversationRouter router;
    std::vector<ConversationRoute> routes = {PuppetRoute("Puppet 1", "Rex", "Rex> ", "rex "),
                                             PuppetRoute("Puppet 2", "Odd", "(*) ", "@force odd=")};
    routes.push_back(BuiltInConversationRoutes().front());
    routes.back().enabled = false;
    router.setRoutes(routes);
    ASSERT_TRUE(router.errors().empty());
    EXPECT_EQ(router.route("Rex> Rex sniffs the air.")->who, "Rex");
    EXPECT_EQ(router.route("(*) sees a cat")->who, "Odd");
    EXPECT_FALSE(router.route("Bob says, \"Rex> sit\""));
    EXPECT_FALSE(router.route("Alice pages: hi"));
    EXPECT_EQ(SendPrefixFor(router.routes()[0], "Rex"), "rex ");
    EXPECT_EQ(SendPrefixFor(BuiltInConversationRoutes()[0], "Alice"), "page Alice=");
}

TEST(ConversationSettingsFile, ReadsSwitchesPuppetsAndRoutesAndNamesWhatItCannotRead) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Conversations]\r\nPagesReceived=instead\r\nPageLooks=off\r\n"
                                "WhispersSent=sometimes\r\nDoNotDisturb=True\r\n"
                                "Puppet 1=Rex,\"Rex> \",\"rex \",instead\r\nPuppet 2=Nameless\r\n"
                                "Puppet 1 Opens=no\r\nPagesSent Opens=True\r\n"
                                "Route 1=page,on,regex,^(?<who>\\S+) sends a note: .*, with love$\r\n"
                                "Route 2=shout,on,regex,x\r\n");
    const ConversationSettings read = ReadConversationSettings(folder.file("CORVANE.INI"));
    auto route = [&](const std::string& key) {
        for (const ConversationRoute& r : read.routes) {
            if (r.key == key) {
                return r;
            }
        }
        return ConversationRoute{};
    };
    EXPECT_TRUE(route("PagesReceived").instead);
    EXPECT_FALSE(route("PageLooks").enabled);
    EXPECT_TRUE(route("PagesSent").enabled);
    EXPECT_FALSE(route("PagesSent").instead);
    EXPECT_EQ(route("Puppet 1").who, "Rex");
    EXPECT_FALSE(route("Puppet 1").openOnFirst);
    EXPECT_TRUE(route("PagesSent").openOnFirst);
    EXPECT_TRUE(route("PagesReceived").openOnFirst);
    EXPECT_EQ(route("Puppet 1").sendPrefix, "rex ");
    EXPECT_TRUE(route("Puppet 1").instead);
    EXPECT_EQ(route("Route 1").pattern, "^(?<who>\\S+) sends a note: .*, with love$");
    EXPECT_TRUE(read.doNotDisturb);
    ASSERT_EQ(read.problems.size(), 3u);
    EXPECT_NE(read.problems[0].find("WhispersSent=sometimes"), std::string::npos);
    EXPECT_NE(read.problems[1].find("Puppet 2"), std::string::npos);
    EXPECT_NE(read.problems[2].find("Route 2"), std::string::npos);
    EXPECT_EQ(SplitConversationFields("a, \"b ,c \" ,d,e,f", 4),
              (std::vector<std::string>{"a", "b ,c ", "d", "e,f"}));
}

// ---- The windows, on a client logged in on fakes ----

struct ConversationClient : ::testing::Test {
    LoggedInClient c;
    FakeNotifier notifier;
    FakeAttention attention;

    void logIn(const std::string& conversations = {}, const std::string& play = {}) {
        c.folder.write("CORVANE.INI", "[Corvane]\r\nProgramPath=" + c.folder.path() + "\r\n" + play +
                                          "[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n\r\n[Practice]\r\n"
                                          "Character 1=Tester,B5;@<!=&\r\n[Conversations]\r\n" +
                                          conversations);
        c.logIn();
        c.h->client.conversations().setNotifier(&notifier);
        c.h->client.conversations().setAttention(&attention);
        c.h->clearOutput();
    }
    ClientHarness& h() { return *c.h; }
    void receive(const std::string& text) {
        h().socket.receive(text);
        h().clock.runPending();
    }
    std::string output() { return h().client.outputBuffer().text(); }
    FakeConversationView* window(std::size_t i) {
        return i < h().views.conversations.size() ? h().views.conversations[i] : nullptr;
    }
    std::string sent() {
        std::string bytes = h().socket.allSent();
        h().socket.sent.clear();
        return bytes;
    }
};

// Each in its own window, as before the Conversations window.
constexpr const char* kOwnWindows = "OwnConversationWindows=True\r\n";

TEST_F(ConversationClient, APageOpensAWindowQuietlyWhoseInputPagesBackAndTheMainOutputKeepsTheLine) {
    logIn({}, kOwnWindows);
    receive("Alice pages: hello\r\nAlice pages, \"still there?\" to you.\r\n");
    ASSERT_EQ(h().views.conversations.size(), 1u);
    FakeConversationView& alice = *window(0);
    EXPECT_EQ(alice.lines,
              (std::vector<std::string>{"Alice pages: hello", "Alice pages, \"still there?\" to you."}));
    EXPECT_EQ(alice.quietShows, 1);
    EXPECT_EQ(alice.title, "Alice (2) - Corvane");
    EXPECT_EQ(alice.prefix, "page Alice=");
    EXPECT_NE(output().find("Alice pages: hello"), std::string::npos);
    const SessionHistory& history = h().client.sessionHistory();
    EXPECT_EQ(history.tag(history.endLine() - 1), "Alice");
    receive("Bob says, \"Alice pages: hi\"\r\n");
    EXPECT_EQ(history.tag(history.endLine() - 1), "") << "a look-alike is no one's";
    EXPECT_EQ(history.tag(history.endLine() - 2), "Alice");

    alice.type("yes, here");
    EXPECT_EQ(sent(), "page Alice=yes, here\r\n");
    EXPECT_TRUE(alice.input.empty());
    // The world's echo of the player's own page is no unread line.
    receive("You paged Alice with \"yes, here\".\r\n");
    EXPECT_EQ(alice.lines.size(), 3u);
    EXPECT_EQ(alice.title, "Alice (2) - Corvane");
    alice.activate();
    EXPECT_EQ(alice.title, "Alice - Corvane");

    // The player's own prefix stays, whatever comes next.
    alice.events->onPrefixEdited("p alice=");
    receive("Alice whispers, \"psst\"\r\n");
    alice.type("ok");
    EXPECT_EQ(sent(), "p alice=ok\r\n");
    EXPECT_EQ(h().views.conversations.size(), 1u);
}

TEST_F(ConversationClient, ARouteThatDoesNotOpenLeavesItsLinesInViewConversationsWhichBringsThemUp) {
    logIn("WhispersReceived Opens=False\r\n", kOwnWindows);
    EXPECT_FALSE(h().client.menu().enabled(MenuItem::ViewConversations)) << "nothing to list yet";
    receive("Bob whispers, \"psst\"\r\nBob whispers, \"over here\"\r\nAlice pages: hello\r\n");
    ASSERT_EQ(h().views.conversations.size(), 2u);
    FakeConversationView& bob = *window(0);
    EXPECT_FALSE(bob.shown);
    EXPECT_EQ(bob.lines.size(), 2u);
    EXPECT_TRUE(window(1)->shown) << "pages still open their window";
    ASSERT_TRUE(h().client.menu().enabled(MenuItem::ViewConversations));

    h().client.onMenuTriggered(MenuItem::ViewConversations);
    FakeConversationListView* list = h().views.conversationList;
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->shown);
    EXPECT_EQ(list->rows, (std::vector<ConversationListRow>{{"Bob", 2, false}, {"Alice", 1, true}}));
    receive("Alice pages: still there?\r\n");
    EXPECT_EQ(list->rows[1].unread, 2u) << "the open list follows";

    list->events->onOpenConversation(0);
    EXPECT_TRUE(bob.shown);
    EXPECT_TRUE(bob.active);
    EXPECT_EQ(list->rows[0], (ConversationListRow{"Bob", 0, true}));
}

TEST_F(ConversationClient, OneWindowPerNameWhispersReplyByWhisperAndClosedWindowsReopenWithTheirLines) {
    logIn({}, kOwnWindows);
    receive("Bob whispers, \"psst\"\r\nYou page, \"hi\" to alice.\r\nAlice pages: hello\r\n");
    ASSERT_EQ(h().views.conversations.size(), 2u);
    EXPECT_EQ(window(0)->prefix, "whisper Bob=");
    EXPECT_EQ(window(1)->lines.size(), 2u);
    window(1)->shown = false;
    receive("Alice pages: back\r\n");
    EXPECT_TRUE(window(1)->shown);
    EXPECT_EQ(window(1)->lines.size(), 3u);
    h().client.session().Connected = false;
    window(1)->type("not lost");
    EXPECT_EQ(window(1)->input, "not lost");
}

// ---- The Conversations window: a tab for each ----

TEST_F(ConversationClient, PagesFromTwoPeopleShareOneQuietWindowWhoseTabsCountUnreadAndNeverSwitchByThemselves) {
    logIn("WhispersReceived Opens=False\r\n");
    receive("Alice pages: hello\r\nBob pages: hi\r\nBob pages: there?\r\n");
    FakeConversationTabsView* tabs = h().views.conversationTabs;
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(h().views.conversations.size(), 2u);
    FakeConversationView& alice = *window(0);
    FakeConversationView& bob = *window(1);
    EXPECT_EQ(tabs->pages, (std::vector<ConversationView*>{&alice, &bob}));
    EXPECT_EQ(tabs->labels, (std::vector<std::string>{"Alice (1)", "Bob (2)"}));
    EXPECT_EQ(tabs->title, "Conversations (3 unread) - Corvane");
    EXPECT_EQ(tabs->quietShows, 1);
    EXPECT_FALSE(tabs->active) << "a window that opens by itself leaves the keyboard where it was";
    EXPECT_EQ(tabs->current, 0) << "the first tab shows; the next waits behind it";
    EXPECT_EQ(alice.quietShows + bob.quietShows, 0) << "no window of their own";
    EXPECT_EQ(bob.lines, (std::vector<std::string>{"Bob pages: hi", "Bob pages: there?"}));

    tabs->activate();
    EXPECT_EQ(tabs->labels, (std::vector<std::string>{"Alice", "Bob (2)"})) << "only the tab on show is seen";
    EXPECT_EQ(tabs->title, "Conversations (2 unread) - Corvane");
    receive("Alice pages: and you?\r\nBob pages: hello??\r\n");
    EXPECT_EQ(tabs->current, 0) << "a line for another tab marks it, it does not switch";
    EXPECT_EQ(tabs->labels, (std::vector<std::string>{"Alice", "Bob (3)"}));
    alice.activate();
    EXPECT_EQ(tabs->labels[1], "Bob (3)") << "every page of the active window hears of it; only Alice shows";

    // Ctrl+Tab and Ctrl+Shift+Tab go round.
    tabs->events->onStepTab(+1);
    EXPECT_EQ(tabs->current, 1);
    EXPECT_EQ(tabs->labels, (std::vector<std::string>{"Alice", "Bob"}));
    EXPECT_EQ(tabs->title, "Conversations - Corvane");
    tabs->events->onStepTab(+1);
    EXPECT_EQ(tabs->current, 0);
    tabs->events->onStepTab(-1);
    EXPECT_EQ(tabs->current, 1);
    bob.type("yes?");
    EXPECT_EQ(sent(), "page Bob=yes?\r\n") << "a tab's input line pages back as its window did";

    // A whisper route that does not open leaves its conversation out of the
    // window until the player picks it from View > Conversations.
    receive("Cat whispers, \"psst\"\r\n");
    ASSERT_EQ(h().views.conversations.size(), 3u);
    EXPECT_EQ(tabs->pages.size(), 2u);
    h().client.onMenuTriggered(MenuItem::ViewConversations);
    FakeConversationListView* list = h().views.conversationList;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rows, (std::vector<ConversationListRow>{{"Alice", 0, true}, {"Bob", 0, true}, {"Cat", 1, false}}));
    tabs->active = false;
    list->events->onOpenConversation(2);
    EXPECT_EQ(tabs->pages.back(), window(2));
    EXPECT_EQ(tabs->current, 2) << "the player's choice shows";
    EXPECT_TRUE(tabs->active);
    EXPECT_EQ(list->rows[2], (ConversationListRow{"Cat", 0, true}));

    // A closed tab keeps its lines and comes back at the end with the next one.
    tabs->events->onTabClosed(0);
    EXPECT_EQ(tabs->pages, (std::vector<ConversationView*>{&bob, window(2)}));
    EXPECT_EQ(tabs->current, 1);
    receive("Alice pages: gone?\r\n");
    EXPECT_EQ(tabs->pages.back(), &alice);
    EXPECT_EQ(tabs->current, 1);
    EXPECT_EQ(tabs->labels.back(), "Alice (1)");
    EXPECT_EQ(alice.lines.size(), 3u);
    // Closing the whole window keeps its tabs for the next line.
    tabs->hideWindow();
    receive("Bob pages: bye\r\n");
    EXPECT_TRUE(tabs->shown);
    EXPECT_EQ(tabs->quietShows, 2);
    EXPECT_EQ(tabs->pages.size(), 3u);
}

TEST_F(ConversationClient, ATabMovesToItsOwnWindowAndBackAndTheOptionGivesNewConversationsTheirOwn) {
    logIn();
    receive("Alice pages: hello\r\nBob pages: hi\r\n");
    FakeConversationTabsView& tabs = *h().views.conversationTabs;
    FakeConversationView& alice = *window(0);
    FakeConversationView& bob = *window(1);
    tabs.activate();

    tabs.events->onMoveToOwnWindow(1);
    EXPECT_EQ(tabs.pages, std::vector<ConversationView*>{&alice});
    EXPECT_EQ(tabs.released, std::vector<ConversationView*>{&bob});
    EXPECT_TRUE(bob.shown && bob.active) << "the player asked for it";
    EXPECT_TRUE(bob.offersBack);
    EXPECT_EQ(bob.title, "Bob - Corvane");
    bob.active = false;
    bob.shown = false;
    receive("Bob pages: where did you go?\r\n");
    EXPECT_EQ(bob.quietShows, 1) << "its own window opens again by itself, quietly";
    EXPECT_EQ(bob.title, "Bob (1) - Corvane");
    EXPECT_EQ(tabs.pages.size(), 1u);

    // Closing its last tab hides the Conversations window.
    tabs.events->onTabClosed(0);
    EXPECT_FALSE(tabs.shown);
    bob.events->onBackIntoTabs();
    EXPECT_EQ(tabs.pages, std::vector<ConversationView*>{&bob});
    EXPECT_FALSE(bob.offersBack);
    EXPECT_TRUE(tabs.shown && tabs.active);
    EXPECT_EQ(tabs.labels, std::vector<std::string>{"Bob"});

    h().client.settings().Play.set(PlayOption::OwnConversationWindows, true);
    receive("Cat pages: me too\r\nAlice pages: still here\r\n");
    ASSERT_EQ(h().views.conversations.size(), 3u);
    EXPECT_EQ(window(2)->quietShows, 1) << "a conversation begun after the change has its own window";
    EXPECT_EQ(tabs.pages, (std::vector<ConversationView*>{&bob, &alice})) << "one begun before stays a tab";
}

TEST_F(ConversationClient, InsteadKeepsTheLineFromTheMainOutputButNotFromTheHistoryAndTheWindowKeeps500) {
    logIn("PagesReceived=instead\r\n");
    const std::size_t kept = h().client.sessionHistory().lineCount();
    for (int i = 0; i < 505; ++i) {
        h().socket.receive("Alice pages: line " + std::to_string(i) + "\r\n");
    }
    h().clock.runPending();
    EXPECT_EQ(output().find("Alice pages"), std::string::npos);
    const SessionHistory& history = h().client.sessionHistory();
    EXPECT_EQ(history.lineCount(), kept + 505);
    EXPECT_EQ(history.tag(history.endLine() - 1), "Alice") << "each kept line names its conversation";
    EXPECT_TRUE(history.hidden(history.endLine() - 1));
    const Conversation* alice = h().client.conversations().find("alice");
    ASSERT_NE(alice, nullptr);
    EXPECT_EQ(alice->lines().size(), Conversation::kMaxLines);
    EXPECT_EQ(window(0)->lines.front(), "Alice pages: line 5");
}

TEST_F(ConversationClient, AWorldNamingEndlessSpeakersOrSendingHugeLinesStaysBounded) {
    logIn();
    for (std::size_t i = 0; i <= Conversations::kMaxConversations; ++i) {
        h().socket.receive("Speaker" + std::to_string(i) + " pages: hi\r\n");
    }
    h().clock.runPending();
    EXPECT_EQ(h().client.conversations().count(), Conversations::kMaxConversations);
    EXPECT_NE(output().find("*** 32 conversations are open"), std::string::npos);
    EXPECT_NE(output().find("Speaker32 pages: hi"), std::string::npos);
    // A channel with no window left: its lines go to the main output too.
    h().client.conversations().channelText("newbie", "Zed", "\x1b[32mlost?\x1b[0m\r\n");
    h().client.conversations().channelText("ooc", "Ann", "[ooc] Ann: here\r\n");
    h().clock.runPending();
    EXPECT_EQ(h().client.conversations().count(), Conversations::kMaxConversations);
    EXPECT_NE(output().find("Zed: lost?"), std::string::npos) << output();
    EXPECT_NE(output().find("[ooc] Ann: here"), std::string::npos) << output();

    const std::string huge(15000, 'x');
    for (int i = 0; i < 40; ++i) {
        h().socket.receive("Speaker0 pages: " + huge + "\r\n");
    }
    std::size_t bytes = 0;
    for (const TextLine& line : h().client.conversations().find("Speaker0")->lines()) {
        bytes += line.text.size();
    }
    EXPECT_LE(bytes, Conversation::kMaxBytes);
    EXPECT_EQ(window(0)->lines.size(), h().client.conversations().find("Speaker0")->lines().size());
}

TEST_F(ConversationClient, PuppetLinesGoToThePuppetWhoseInputForcesIt) {
    logIn("Puppet 1=Rex,\"Rex> \",\"@force rex=\",instead\r\n");
    receive("Rex> Rex sniffs at a lamppost.\r\nAlice says, \"Rex> sit\"\r\n");
    ASSERT_EQ(h().views.conversations.size(), 1u);
    EXPECT_EQ(window(0)->lines, std::vector<std::string>{"Rex> Rex sniffs at a lamppost."});
    EXPECT_EQ(output().find("sniffs"), std::string::npos);
    window(0)->type("say woof");
    EXPECT_EQ(sent(), "@force rex=say woof\r\n");
}

TEST_F(ConversationClient, ALineFromSomeoneElseInTheBackgroundNotifiesUnlessDoNotDisturb) {
    logIn({}, "ConversationBeep=True\r\n");
    receive("Alice pages: are you there?\r\n");
    EXPECT_EQ(notifier.shown, std::vector<std::string>{"Alice - Practice: Alice pages: are you there?"});
    EXPECT_EQ(attention.requests, 1);
    EXPECT_EQ(h().sound.beeps, 1);
    // Unless chosen, a line that only names the player asks for nothing.
    receive("Bob says, \"hi Tester\"\r\n");
    EXPECT_EQ(attention.requests, 1);

    // The player's own page, and anything while Corvane is active, ask for nothing.
    receive("You page, \"yes\" to Alice.\r\n");
    attention.isActive = true;
    receive("Alice pages: good\r\n");
    EXPECT_EQ(attention.requests, 1);

    attention.isActive = false;
    h().client.onMenuTriggered(MenuItem::GameDoNotDisturb);
    EXPECT_TRUE(h().client.menu().checked(MenuItem::GameDoNotDisturb));
    EXPECT_EQ(ReadSetting("Conversations", "DoNotDisturb", c.ini), "True");
    receive("Alice pages: hello?\r\n");
    EXPECT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(attention.requests, 1);
    EXPECT_EQ(window(0)->lines.size(), 4u);
}

TEST_F(ConversationClient, AMentionOfTheCharacterInTheBackgroundNotifiesOnlyWhenChosen) {
    logIn({}, "NotifyOnName=True\r\n");
    receive("Tester waves.\r\nAlice says, \"Testers unite\"\r\nAlice says, \"where is tester?\"\r\n");
    EXPECT_EQ(notifier.shown, std::vector<std::string>{"Practice: Alice says, \"where is tester?\""});
    EXPECT_EQ(attention.requests, 1);
    h().client.onMenuTriggered(MenuItem::GameDoNotDisturb);
    receive("Bob says, \"Tester!\"\r\n");
    EXPECT_EQ(attention.requests, 1);
}

TEST_F(ConversationClient, GmcpChannelTextGoesToTheChannelsWindow) {
    logIn();
    h().client.conversations().channelText("gossip", "Alice", "Alice gossips, \"hi all\"");
    h().client.conversations().channelText("gossip", "Bob", "hello");
    // As IRE worlds send it: colours, a line end, and the same line as text after.
    h().client.conversations().channelText("gossip", "Cat", "\x1b[1;33m(gossip): Cat says, \"hey\"\x1b[0m\r\n");
    receive("(gossip): Cat says, \"hey\"\r\n");
    ASSERT_EQ(h().views.conversations.size(), 1u);
    EXPECT_EQ(window(0)->lines, (std::vector<std::string>{"Alice gossips, \"hi all\"", "Bob: hello",
                                                          "(gossip): Cat says, \"hey\""}));
    EXPECT_EQ(window(0)->prefix, "gossip ");
    EXPECT_EQ(attention.requests, 0);
    const SessionHistory& history = h().client.sessionHistory();
    EXPECT_EQ(history.tag(history.endLine() - 1), "gossip");
}

TEST_F(ConversationClient, RoutesSavedInTheEditorApplyAtOnce) {
    logIn();
    EXPECT_FALSE(h().client.menu().enabled(MenuItem::EditConversationRoutes)) << "nothing to show it with";
    FakeConversationRoutesView* editor = nullptr;
    h().client.conversationWiring().setRoutesViewFactory([&editor] {
        auto view = std::make_unique<FakeConversationRoutesView>();
        editor = view.get();
        return view;
    });
    ASSERT_TRUE(h().client.menu().enabled(MenuItem::EditConversationRoutes));
    h().client.onMenuTriggered(MenuItem::EditConversationRoutes);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->shows, 1);
    editor->events->onAddRoute();
    editor->edit([](ConversationRouteFields& f) { f.pattern = "^(?<who>\\S+) sends you a note: "; });
    editor->events->onSave();
    receive("Alice sends you a note: hi\r\n");
    ASSERT_NE(window(0), nullptr);
    EXPECT_EQ(window(0)->lines, std::vector<std::string>{"Alice sends you a note: hi"});
    EXPECT_EQ(window(0)->prefix, "page Alice=");
}

TEST(ConversationRoutesKeptOverASignal, UnsavedRoutesAreKeptAndOfferedBackUnsavedAtTheNextOpen) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Test,127.0.0.1,4201\r\n");
    const std::string ini = folder.file("CORVANE.INI");
    const std::string kept = folder.file("corvane-routes-draft.json");
    const auto openEditor = [](ClientHarness& h) {
        FakeConversationRoutesView* editor = nullptr;
        h.client.conversationWiring().setRoutesViewFactory([&editor] {
            auto view = std::make_unique<FakeConversationRoutesView>();
            editor = view.get();
            return view;
        });
        h.client.onMenuTriggered(MenuItem::EditConversationRoutes);
        return editor;
    };
    {
        ClientHarness h("", ini);
        h.client.start(false);
        FakeConversationRoutesView* editor = openEditor(h);
        ASSERT_NE(editor, nullptr);
        editor->events->onAddRoute();
        editor->edit([](ConversationRouteFields& f) { f.pattern = "^(?<who>\\S+) sends a note: "; });
        h.client.shutdown(Client::ShutdownCause::Signal);
        EXPECT_TRUE(h.prompts.questions.empty()) << "a signal leaves no time to ask";
    }
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(std::filesystem::status(kept).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(ReadSetting("Conversations", "Route 1", ini), "") << "kept aside, not saved";

    ClientHarness again("", ini);
    again.client.start(false);
    again.clock.runPending();
    EXPECT_NE(again.client.outputBuffer().text().find("*** Conversation routes edited but not saved"),
              std::string::npos);
    FakeConversationRoutesView* editor = openEditor(again);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(std::filesystem::exists(kept)) << "taken back, nothing is left";
    ASSERT_FALSE(editor->rows.empty());
    EXPECT_NE(editor->rows.back().find("sends a note"), std::string::npos) << editor->rows.back();
    EXPECT_TRUE(again.client.conversationWiring().routesEditor()->unsaved().has_value()) << "still to be saved";
    editor->events->onSave();
    EXPECT_NE(ReadSetting("Conversations", "Route 1", ini).find("sends a note"), std::string::npos);
}

TEST_F(ConversationClient, DoubleClickingAnAddressInAWindowOpensIt) {
    logIn();
    receive("Alice pages: see https://example.org/map now\r\n");
    window(0)->clickedLine = "Alice pages: see https://example.org/map now";
    window(0)->caret = 20;
    h().launcher.browserAnswer = BrowserAnswer::Opened;
    window(0)->events->onOutputDoubleClicked();
    ASSERT_EQ(h().launcher.requests.size(), 1u);
    EXPECT_EQ(h().launcher.requests[0].address, "https://example.org/map");
}

TEST_F(ConversationClient, LogConversationsWritesEachToItsOwnFileAndSaysOnceWhenItCannot) {
    logIn({}, "LogConversations=True\r\nUtf8Logs=True\r\n");
    receive("Alice pages: héllo\r\nBob whispers, \"psst\"\r\nAlice pages: again\r\n");
    ConversationLog names(c.folder.file("logs"), h().client.settings().Play, h().clock, {});
    EXPECT_EQ(c.folder.read("logs/" + std::filesystem::path(names.pathFor("Alice")).filename().string()),
              "Alice pages: héllo\r\nAlice pages: again\r\n");
    EXPECT_EQ(std::filesystem::status(names.pathFor("Alice")).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_NE(names.pathFor("Bob").find("Bob-"), std::string::npos);

    std::filesystem::create_directories(names.pathFor("Cat"));
    receive("Cat pages: one\r\nCat pages: two\r\n");
    h().clock.runPending();
    const std::string shown = output();
    const std::size_t first = shown.find("*** Could not open the conversation log");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(shown.find("*** Could not", first + 1), std::string::npos);
}

} // namespace
} // namespace corvane::testing
