#include "e2e/practice_world_fixture.h"
#include "fakes/fake_address_book_view.h"
#include "fakes/fake_platform.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_socket.h"
#include "qt/qt_timers.h"
#include "qt/qt_view_factory.h"
#include "shell/client.h"
#include "widgets/document_runs.h"
#include "widgets/qt_print.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

namespace corvane::testing {
namespace {

// Trigger slot 1 of the practice world: "dragon" in bold red Serif.
const QByteArray kDragonTrigger = "Trigger 1=dragon\r\n"
                                  "WAVFile 1=,0\r\n"
                                  "TrigFont 1=Serif,10,True,False,255\r\n";
const QColor kTriggerColour(255, 0, 0);

TEST_P(EitherManner, LoginSendsTheConnectAndSetUpCommandsAndTurnsTheSessionOn) {
    ASSERT_TRUE(logIn());
    ASSERT_TRUE(sayAndWait("in"));
    EXPECT_EQ(typed(1), kLoginBytes + "say in\r\n");
    // The modern world asks for the window size once; the client agrees.
    EXPECT_EQ(world.received(1).count(kNawsAgreement), manner == WorldManner::Modern ? 1 : 0);

    EXPECT_TRUE(client.session().TagMode);
    EXPECT_EQ(client.session().CharacterName, "Tester");
    EXPECT_EQ(window.windowTitle(), "CORVane 2.1 - Tester on Practice");
    EXPECT_EQ(label(0), "Status: On Line");
    EXPECT_EQ(label(2), "Game Time: 00:00");
    EXPECT_TRUE(window.findChild<QAction*>("ViewTimer")->isChecked());
    EXPECT_TRUE(window.findChild<QAction*>("ViewLagCounter")->isChecked());
    EXPECT_TRUE(window.findChild<QAction*>("ViewLagCounter")->isEnabled());
    // "&Connect" logs a character in: there is one already.
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(commandButton(i)->isEnabled(), i != 0) << i;
    }
    EXPECT_FALSE(window.findChild<QAction*>("GameConnect")->isEnabled());
    // The greeting came before the login, the room after it.
    const QString shown = output();
    EXPECT_LT(shown.indexOf("To connect to your character use"), shown.indexOf("Town Square"));
    // The answers to Corvane's own set-up are not shown: "Property set.", and
    // the modern world's two "Huh?" for the output frames it does not know.
    const QString exits = manner == WorldManner::Modern ? "Obvious exits: north, east, in and sw.\n" : "";
    EXPECT_TRUE(shown.contains("Contents:\nBob\nAlice\nGuest\nnotice board\n" + exits + "You say, \"in\"\n"))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains("Property set.")) << shown.toStdString();
    EXPECT_FALSE(shown.contains("Huh?")) << shown.toStdString();
}

// A player clicks into the output, types "look" there, and leaves by a typed
// QUIT: the world answers the look, and the arrival hook goes before the QUIT.
TEST_P(EitherManner, LookTypedIntoTheOutputIsSentAndATypedQuitRemovesTheHook) {
    ASSERT_TRUE(logIn());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QtOutputBox* box = window.outputBox();
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
    ASSERT_TRUE(waitUntil([&] { return box->hasFocus(); }));
    const qsizetype before = output().count("Town Square");
    QTest::keyClicks(box, "l");
    QTest::keyClicks(QApplication::focusWidget(), "ook");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return output().count("Town Square") > before; }));
    EXPECT_TRUE(input()->hasFocus());

    prompts.answers = {PromptAnswer::No};
    typeLine("QUIT");
    ASSERT_TRUE(waitUntil([&] { return !client.session().Connected; }));
    EXPECT_TRUE(typed(1).endsWith("look\r\n@set me=_arrive/vrox:\r\nQUIT\r\n")) << typed(1).toStdString();
}

TEST_P(EitherManner, WalkingFollowsTheRoomsAndHidesTheMarkers) {
    ASSERT_TRUE(logIn());
    struct Step {
        const char* exit;
        int ref;
        const char* room;
    };
    for (const Step& step :
         {Step{"north", 165, "North Road"}, Step{"se", 166, "Market Row"}, Step{"w", 164, "Town Square"}}) {
        SCOPED_TRACE(step.exit);
        typeLine(step.exit);
        ASSERT_TRUE(waitUntil([&] { return client.session().RoomRef == step.ref; }));
        EXPECT_EQ(client.session().RoomName, step.room);
        EXPECT_EQ(window.windowTitle(), QString("Practice - ") + step.room);
    }
    ASSERT_TRUE(sayAndWait("arrived"));

    const QString shown = output();
    EXPECT_TRUE(shown.contains("North Road\nA rutted road climbs out of town"));
    EXPECT_TRUE(shown.contains("Market Row\n"));
    for (const char* marker : {"[vrox]", "[on]", "[off]", "#165", "#166"}) {
        EXPECT_FALSE(shown.contains(marker)) << marker;
    }
    EXPECT_TRUE(typed(1).endsWith("north\r\nse\r\nw\r\nsay arrived\r\n"));
}

TEST_P(EitherManner, LinesOfOtherPlayersAreShown) {
    ASSERT_TRUE(logIn());
    RawPlayer bob;
    ASSERT_TRUE(bob.connectTo(world.port()));
    bob.send("connect Bob bob\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Bob has connected."); }));
    bob.send("say the dragon is coming\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Bob says, \"the dragon is coming\""); }));
    bob.send("QUIT\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Bob has disconnected."); }));
}

// ---- The player-list window fed by "who" -------------------------------

struct WhoIsHereRow {
    const char* name;
    QStringList worldOptions;
    // What Bob types on his own connection before Tester asks (empty: Bob stays away).
    QByteArray bob;
    // Tester's moves before asking.
    QStringList moves;
    QStringList awake, asleep, idle, puppets;
    QString summary;
};

std::ostream& operator<<(std::ostream& out, const WhoIsHereRow& row) {
    return out << row.name;
}

struct WhoIsHereTable : MannerTable<WhoIsHereRow> {};

TEST_P(WhoIsHereTable, FillsThePlayerListWindow) {
    const WhoIsHereRow& row = this->row();
    ASSERT_TRUE(logIn(row.worldOptions));
    RawPlayer bob;
    if (!row.bob.isEmpty()) {
        ASSERT_TRUE(bob.connectTo(world.port()));
        bob.send(row.bob);
        if (row.bob.endsWith("QUIT\r\n")) {
            ASSERT_TRUE(bob.waitForClose());
        } else {
            ASSERT_TRUE(waitUntil([&] { return output().contains("Bob has connected."); }));
        }
    }
    for (const QString& move : row.moves) {
        typeLine(move);
    }
    ASSERT_TRUE(sayAndWait("ready"));
    const QString before = output();

    commandButton(5)->click();
    EXPECT_EQ(client.session().ListMode, 1);
    EXPECT_EQ(label(0), "Status: *Getting Player Info*");
    // A world without frames sends nothing after the listing that marks its
    // end, so the answer to the next command may be what closes it.
    ASSERT_TRUE(sayAndWait("after"));
    ASSERT_TRUE(waitUntil([&] { return client.session().ListMode == 0 && playerList()->isVisible(); }));

    QtPlayerListView* list = playerList();
    EXPECT_EQ(list->windowTitle(), "Practice Player List");
    EXPECT_EQ(entries(list->findChild<QListWidget*>("AwakeList")), row.awake);
    EXPECT_EQ(entries(list->findChild<QListWidget*>("AsleepList")), row.asleep);
    EXPECT_EQ(entries(list->findChild<QListWidget*>("IdleList")), row.idle);
    EXPECT_EQ(entries(list->findChild<QListWidget*>("PuppetList")), row.puppets);
    EXPECT_EQ(list->findChild<QLabel*>("lblLocation")->text(), row.summary);
    for (const char* name : {"AwakeList", "AsleepList", "IdleList", "PuppetList"}) {
        EXPECT_TRUE(list->findChild<QListWidget*>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(label(0), "Status: On Line");
    EXPECT_EQ(client.session().PendingReplies, 0);
    // The listing went to the window, not to the output.
    EXPECT_EQ(output().mid(before.size()), "You say, \"after\"\n");
    EXPECT_TRUE(typed(1).contains("say ready\r\nwho\nsay after\r\n"));
}

const WhoIsHereRow kWhoIsHereRows[] = {
    {"TwoAwakeAndTwoAsleep",
     {},
     "connect Bob bob\r\n",
     {},
     {"Tester", "Bob"},
     {"Alice", "Guest"},
     {},
     {},
     "There are 4 Players here:"},
    {"AnIdlePlayerKeepsHisIdleTime",
     {"--idle-seconds", "0"},
     "connect Bob bob\r\n",
     {},
     {},
     {"Alice", "Guest"},
     {"Bob[0m]"},
     {},
     "There are 3 Players here:"},
    {"PuppetsInTheRoomWalkedTo",
     {},
     {},
     {"east"},
     {},
     {},
     {},
     {"Patch", "Rover"},
     "There are 2 Players in Market Row:"},
    {"OneSleeperAndOnePuppet",
     {},
     {},
     {"in"},
     {},
     {"Mirelle"},
     {},
     {"Whisker"},
     "There are 2 Players in The Gilded Lantern:"},
    {"OneOtherPlayer",
     {},
     "connect Bob bob\r\nin\r\nup\r\nQUIT\r\n",
     {"in", "up"},
     {},
     {"Bob"},
     {},
     {},
     "There is 1 other Player in Lantern Loft:"},
    {"NobodyElse", {}, {}, {"sw"}, {}, {}, {}, {}, "No one else is here in Well Garden."},
};

INSTANTIATE_TEST_SUITE_P(Rooms, WhoIsHereTable,
                         ::testing::Combine(kBothManners, ::testing::ValuesIn(kWhoIsHereRows)),
                         mannerRowName<WhoIsHereRow>);

// ---- The player-list window fed by "WHO" -------------------------------

struct WhoIsOnRow {
    const char* name;
    bool bobJoins;
    QStringList awake;
    QString summary;
};

std::ostream& operator<<(std::ostream& out, const WhoIsOnRow& row) {
    return out << row.name;
}

struct WhoIsOnTable : MannerTable<WhoIsOnRow> {};

TEST_P(WhoIsOnTable, FillsTheAwakeListAndGreysTheOthers) {
    const WhoIsOnRow& row = this->row();
    ASSERT_TRUE(logIn());
    RawPlayer bob;
    if (row.bobJoins) {
        ASSERT_TRUE(bob.connectTo(world.port()));
        bob.send("connect Bob bob\r\n");
        ASSERT_TRUE(waitUntil([&] { return output().contains("Bob has connected."); }));
    }
    const QString before = output();

    commandButton(6)->click();
    EXPECT_EQ(client.session().ListMode, 2);
    ASSERT_TRUE(waitUntil([&] { return client.session().ListMode == 0; }));

    QtPlayerListView* list = playerList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(entries(list->findChild<QListWidget*>("AwakeList")), row.awake);
    EXPECT_EQ(list->findChild<QLabel*>("lblLocation")->text(), row.summary);
    EXPECT_TRUE(list->findChild<QListWidget*>("AwakeList")->isEnabled());
    for (const char* name : {"AsleepList", "IdleList", "PuppetList"}) {
        EXPECT_FALSE(list->findChild<QListWidget*>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(list->findChild<QLabel*>("lblIdle")->palette().color(QPalette::WindowText),
              QColor(128, 128, 128));
    EXPECT_EQ(label(0), "Status: On Line");
    EXPECT_EQ(client.session().PendingReplies, 0);

    ASSERT_TRUE(sayAndWait("after"));
    EXPECT_EQ(output().mid(before.size()), "You say, \"after\"\n");
    EXPECT_TRUE(typed(1).endsWith("WHO\nsay after\r\n"));
}

const WhoIsOnRow kWhoIsOnRows[] = {
    {"TwoPlayers", true, {"Tester", "Bob"}, "There are 2 players on Practice:"},
    {"OnlyOnePlayer", false, {"Tester"}, "There is only 1 player on Practice:"},
};

INSTANTIATE_TEST_SUITE_P(Players, WhoIsOnTable,
                         ::testing::Combine(kBothManners, ::testing::ValuesIn(kWhoIsOnRows)),
                         mannerRowName<WhoIsOnRow>);

TEST_P(EitherManner, WhoIsOnBeforeLoginShowsTheListWithThePlayerButtonsOff) {
    ASSERT_TRUE(connectWithoutLogin());
    RawPlayer bob;
    ASSERT_TRUE(bob.connectTo(world.port()));
    bob.send("connect Bob bob\r\n");
    ASSERT_TRUE(waitUntil([&] { return world.received(2).endsWith("connect Bob bob\r\n"); }));
    EXPECT_FALSE(client.session().TagMode);
    const QString before = output();

    ASSERT_TRUE(commandButton(6)->isEnabled());
    commandButton(6)->click();
    ASSERT_TRUE(waitUntil([&] { return client.session().ListMode == 0; }));

    // Not shown: the header, the row and the trailer.
    EXPECT_EQ(output().mid(before.size()), "");
    QtPlayerListView* list = playerList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(entries(list->findChild<QListWidget*>("AwakeList")), QStringList{"Bob"});
    EXPECT_EQ(list->findChild<QLabel*>("lblLocation")->text(), "There is only 1 player on Practice:");
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(list->findChild<QPushButton*>(QString("Command1_%1").arg(i))->isEnabled()) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Manners, EitherManner, kBothManners, mannerTestName);

TEST_F(PracticeWorldE2E, TelnetProbeIsAnsweredAndTheGreetingShowsClean) {
    ASSERT_TRUE(connectWithoutLogin({"--telnet-probe"}));
    // Terminal type and echo agreed, then the type told with the MTTS convention's first answer.
    const QByteArray refusals = QByteArray("\xff\xfb\x18\xff\xfd\x01\xff\xfa\x18\x00" "CORVANE\xff\xf0", 19);
    ASSERT_TRUE(waitUntil([&] { return world.received(1).contains(refusals); }));
    EXPECT_EQ(world.received(1), refusals);
    const QString shown = output();
    EXPECT_FALSE(shown.contains(QChar(0xFF)));
    EXPECT_TRUE(shown.contains("\nTo connect to your character use 'connect <playername> <password>'\n"));

    // The login still goes through on the same connection.
    typeLine("connect Tester password");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Contents:"); }));
    EXPECT_EQ(world.received(1), refusals + "connect Tester password\r\n");
}

// ---- Lag, QUIT, triggers -----------------------------------------------

TEST_F(PracticeWorldE2E, TheLagMeterCountsWholeSecondsUntilTheReplyBegins) {
    // The meter counts once the world has framed a reply on this connection.
    ASSERT_TRUE(logIn({"--lag", "2300"}));
    typeLine("say framing");
    EXPECT_EQ(client.session().PendingReplies, 0);
    ASSERT_TRUE(waitUntil([&] { return output().contains("You say, \"framing\""); }, 6000));
    typeLine("say lagging");
    EXPECT_EQ(client.session().PendingReplies, 1);

    QSet<QString> seen;
    ASSERT_TRUE(waitUntil(
        [&] {
            seen.insert(label(3));
            return output().contains("You say, \"lagging\"");
        },
        6000));
    // One tick per whole second after the send: 2.3 s hold two or three of them.
    EXPECT_TRUE(seen.contains("Current Lag: 1 secs"));
    EXPECT_TRUE(QRegularExpression("^Current Lag: [23] secs$").match(label(3)).hasMatch())
        << label(3).toStdString();
    EXPECT_EQ(client.session().PendingReplies, 0);
    EXPECT_EQ(client.session().LagSeconds, 0);
}

TEST_F(PracticeWorldE2E, QuitAsksToConnectAgainOnlyAfterTheServerClosed) {
    ASSERT_TRUE(logIn());
    prompts.answers = {PromptAnswer::No};

    commandButton(8)->click();
    EXPECT_TRUE(prompts.questions.empty());
    ASSERT_TRUE(waitUntil([&] { return !prompts.questions.empty(); }));

    EXPECT_EQ(prompts.questions[0].text,
              "Connection closed.\r\n\nWould you like to connect to another MUD/MUCK?");
    EXPECT_EQ(prompts.questions[0].title, "CORVane 2.1");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(sound.beeps, 0);
    EXPECT_FALSE(client.session().Connected);
    EXPECT_EQ(label(0), "Status: Off Line");
    EXPECT_EQ(window.windowTitle(), "CORVane 2.1");
    EXPECT_TRUE(output().contains("\nCome back later!\n"));
    EXPECT_FALSE(output().contains("Property removed.")) << "the answer to Corvane's own command";
    EXPECT_EQ(world.received(1), kLoginBytes + "@set me=_arrive/vrox:\r\nQUIT\r\n");
}

TEST_F(PracticeWorldE2E, TriggerColoursItsLinesAndAnsiLeavesNoDebris) {
    ASSERT_TRUE(logIn({}, kDragonTrigger));
    typeLine("@flood 50");
    ASSERT_TRUE(sayAndWait("flood-over"));

    const QString shown = output();
    for (const char* debris : {"\x1b", "[1;31m", "[0m", "[33m", "[32m", "[1;34m", "\t"}) {
        EXPECT_FALSE(shown.contains(debris)) << debris;
    }
    EXPECT_TRUE(shown.contains("Item        Weight        Value        (3)"));

    int dragonLines = 0;
    const QTextDocument& document = *window.outputBox()->document();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool matches = block.text().contains("dragon", Qt::CaseInsensitive);
        dragonLines += matches ? 1 : 0;
        for (const TextRun& run : blockRuns(block)) {
            SCOPED_TRACE(block.text().toStdString());
            if (matches) {
                EXPECT_EQ(run.colour(), kTriggerColour);
                EXPECT_TRUE(run.bold());
                EXPECT_EQ(run.format.fontPointSize(), 10);
                EXPECT_TRUE(run.format.fontFamilies().toStringList().contains("Serif"));
            } else {
                EXPECT_NE(run.colour(), kTriggerColour);
            }
        }
    }
    // Lines 1, 7, 13, ... 49 of the flood mention the dragon.
    EXPECT_EQ(dragonLines, 9);
    EXPECT_TRUE(sound.played.empty());

    const std::vector<TextRun> goblin = runsOfLine(document, "A goblin slashes at you!");
    ASSERT_FALSE(goblin.empty());
    EXPECT_EQ(goblin[0].text, "A goblin slashes at you!");
    EXPECT_EQ(goblin[0].colour(), QColor(255, 85, 85));
}

// Counts the pixels of exactly this colour.
int pixelsOf(const QImage& image, const QColor& colour) {
    const QRgb wanted = colour.rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

TEST_F(PracticeWorldE2E, ScreenshotShowsTheTriggerColour) {
    ASSERT_TRUE(logIn({}, kDragonTrigger));
    window.resize(900, 640);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    typeLine("@flood 24");
    ASSERT_TRUE(sayAndWait("done"));

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString folderPath = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../screenshots");
    ASSERT_TRUE(QDir().mkpath(folderPath));
    const QString file = folderPath + "/ansi-and-trigger.png";
    ASSERT_TRUE(shot.save(file)) << file.toStdString();

    EXPECT_GT(pixelsOf(shot, kTriggerColour), 50);
    // The bold red of "A goblin slashes at you!" is painted as well.
    EXPECT_GT(pixelsOf(shot, QColor(255, 85, 85)), 10);
    window.hide();
}

} // namespace
} // namespace corvane::testing
