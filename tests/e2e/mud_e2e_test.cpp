#include "e2e/practice_world_fixture.h"
#include "core/session_history.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_scrollback_pane.h"
#include "qt/qt_server_info_view.h"
#include "shell/client.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QTest>
#include <QTextBlock>
#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The practice world as a MUD (--mud), stored with Server=MUD: prompts ended
// by IAC GA, CR CR LF inside texts, a bordered WHO table, GMCP and MSDP rooms, UTF-8 only.
struct MudE2E : PracticeWorldE2E {
    bool logInToMud() {
        if (!logIn({"--mud"}, "Server=MUD\r\n", false)) {
            return false;
        }
        return waitUntil([&] { return output().contains("HP:8/10 MP:5 > "); });
    }
};

// The viewport point at the middle of the first character of the last `text` in the output.
QPoint mudE2EPointOf(QtOutputBox* box, const QString& text) {
    const int at = box->toPlainText().lastIndexOf(text);
    if (at < 0) {
        return {};
    }
    QTextCursor cursor(box->document());
    cursor.setPosition(at);
    const QRect left = box->cursorRect(cursor);
    cursor.setPosition(at + 1);
    const QRect right = box->cursorRect(cursor);
    return {(left.x() + right.x()) / 2, left.center().y()};
}

TEST_F(MudE2E, MxpExitLinksWalkWhenClickedWithTheBoxTicked) {
    ASSERT_TRUE(logIn({"--mud"}, "Server=MUD\r\nMXP=True\r\n", false));
    ASSERT_TRUE(waitUntil([&] { return output().contains("Exits: north"); })) << output().toStdString();
    EXPECT_FALSE(output().contains("SEND")) << "the markup is never shown";
    EXPECT_FALSE(output().contains("\x1b"));
    QtOutputBox* box = window.outputBox();
    const QPoint north = mudE2EPointOf(box, "north");
    ASSERT_NE(box->linkAt(north), 0u);
    EXPECT_EQ(box->linkAt(mudE2EPointOf(box, "Exits")), 0u);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, north);
    ASSERT_TRUE(waitUntil([&] { return typed(1).contains("\r\nnorth\r\n"); })) << typed(1).toStdString();
    // The walk brings the next room's exits, links again.
    ASSERT_TRUE(waitUntil([&] { return output().count("Exits: ") >= 2; })) << output().toStdString();

    // Read back in the scrollback pane, a link acts as it did below.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box->openScrollback(0);
    QtScrollbackPane* pane = box->scrollback();
    ASSERT_TRUE(pane != nullptr && pane->isVisible());
    pane->scrollToNewest();
    // From the bottom, where the newest exits are; a letter is wider than 5 pixels.
    std::optional<QPoint> back;
    for (int y = pane->viewport()->height() - 4; y > 0 && !back; y -= 6) {
        for (int x = 1; x < pane->viewport()->width() && !back; x += 5) {
            if (pane->linkAt(QPoint(x, y)) != 0) {
                back = QPoint(x, y);
            }
        }
    }
    ASSERT_TRUE(back) << "the exits read back are links";
    const int sent = typed(1).count("\r\n");
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, *back);
    ASSERT_TRUE(waitUntil([&] { return typed(1).count("\r\n") > sent; })) << typed(1).toStdString();
}

TEST_F(MudE2E, LogInWhoPromptAccentsAndGmcpAreRight) {
    client.serverInfo().setViewFactory([this] { return std::make_unique<QtServerInfoView>(&window); });
    ASSERT_TRUE(logInToMud());
    // Only the log-in itself: no frames, no arrival hook, so no error lines.
    EXPECT_EQ(typed(1), "connect Tester password\r\n");
    EXPECT_FALSE(output().contains("is not available")) << output().toStdString();
    // The room came by GMCP; the prompt is shown at once, on a line of its own.
    EXPECT_TRUE(waitUntil([&] { return window.windowTitle() == "Practice - Town Square"; }))
        << window.windowTitle().toStdString();
    // The vitals came by GMCP, then by MSDP, which adds movement; the client
    // asked the world to report them.
    EXPECT_TRUE(waitUntil([&] { return label(0) == "Status: On Line   HP 8/10  MP 5/5  MV 30/30"; }))
        << label(0).toStdString();
    EXPECT_TRUE(world.received(1).contains("\xff\xfd\x45\xff\xfa\x45\x01REPORT\x02HEALTH"));
    EXPECT_FALSE(window.findChild<QAction*>("GameGoHome")->isEnabled());
    // What the world says about itself (MSSP) is in Game > Server Info.
    QAction* serverInfo = window.findChild<QAction*>("GameServerInfo");
    ASSERT_TRUE(waitUntil([&] { return serverInfo->isEnabled(); }));
    serverInfo->trigger();
    auto* info = window.findChild<QtServerInfoView*>();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    QStringList shownLabels;
    for (const QLabel* shownLabel : info->findChildren<QLabel*>()) {
        shownLabels << shownLabel->text();
    }
    EXPECT_TRUE(shownLabels.contains("Corvane Practice World")) << shownLabels.join("|").toStdString();
    EXPECT_TRUE(shownLabels.contains("Practice World 1.0")) << shownLabels.join("|").toStdString();
    const auto* table = info->findChild<QTreeWidget*>("ServerInfoTable");
    ASSERT_NE(table, nullptr);
    const auto languages = table->findItems("LANGUAGE", Qt::MatchExactly);
    ASSERT_EQ(languages.size(), 1);
    EXPECT_EQ(languages.front()->text(1), "English, Esperanto");
    info->close();

    // CR CR LF is one line end: no empty lines inside the room's text.
    EXPECT_TRUE(output().contains("Town Square\n")) << output().toStdString();
    EXPECT_FALSE(output().contains("Town Square\n\n"));

    // An accented say on the first line goes out as UTF-8 and is taken.
    typeLine(QString::fromUtf8("say caf\xC3\xA9"));
    ASSERT_TRUE(waitUntil([&] { return output().contains(QString::fromUtf8("You say, \"caf\xC3\xA9\"")); }))
        << output().toStdString();
    EXPECT_FALSE(output().contains("incorrect UTF-8"));
    EXPECT_FALSE(output().contains(QString::fromUtf8("> You say")));

    // The WHO table fills the player list and hides nothing after it.
    commandButton(6)->click();
    ASSERT_TRUE(waitUntil([&] { return playerList() != nullptr && playerList()->isVisible(); }));
    EXPECT_TRUE(waitUntil([&] { return client.session().ListMode == 0; }));
    typeLine("say after");
    ASSERT_TRUE(waitUntil([&] { return output().contains("You say, \"after\""); })) << output().toStdString();

    // The world asked for the window size and was told it, and again when it grew.
    const auto sizesTold = [&] { return world.received(1).count("\xff\xfa\x1f"); };
    // Once, when the window had been laid out, not a passing size before it.
    ASSERT_TRUE(waitUntil([&] { return sizesTold() >= 1; }));
    QTest::qWait(700);
    const auto told = sizesTold();
    EXPECT_EQ(told, 1);
    window.show();
    window.resize(window.width() + 240, window.height() + 120);
    EXPECT_TRUE(waitUntil([&] { return sizesTold() > told; }));

    // A channel line comes twice, by GMCP and as text: once in a window of
    // its own, once in the main output, and the history names the channel.
    RawPlayer alice;
    ASSERT_TRUE(alice.connectTo(world.port()));
    alice.send("connect Alice alice\r\nooc hello from Alice\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("[OOC] Alice: hello from Alice"); }));
    const auto channelWindow = [&] {
        for (QtConversationView* view : window.findChildren<QtConversationView*>()) {
            if (view->windowTitle().startsWith("ooc")) {
                return view;
            }
        }
        return static_cast<QtConversationView*>(nullptr);
    };
    ASSERT_TRUE(waitUntil([&] {
        return channelWindow() != nullptr &&
               channelWindow()->output()->toPlainText() == "[OOC] Alice: hello from Alice";
    }));
    EXPECT_EQ(output().count("hello from Alice"), 1);
    const SessionHistory& history = client.sessionHistory();
    EXPECT_TRUE(waitUntil([&] { return history.tag(history.endLine() - 1) == "ooc"; }));

    // A GMCP room's exits are real: walking one moves the caption.
    typeLine("n");
    EXPECT_TRUE(waitUntil([&] { return window.windowTitle() == "Practice - North Road"; }))
        << window.windowTitle().toStdString();
}

// A MUD that compresses (--mccp): the client agrees, and everything after
// the start is inflated on its way to the screen and the caption.
TEST_F(MudE2E, ACompressedWorldIsReadAsAPlainOne) {
    ASSERT_TRUE(logIn({"--mud", "--mccp"}, "Server=MUD\r\n", false));
    ASSERT_TRUE(waitUntil([&] { return output().contains("HP:8/10 MP:5 > "); })) << output().toStdString();
    EXPECT_TRUE(waitUntil([&] { return world.received(1).contains("\xff\xfd\x56"); }));
    // The world's log is written as it goes, not at once.
    EXPECT_TRUE(waitUntil([&] { return world.sent(1).contains("\xff\xfa\x56\xff\xf0"); }));
    EXPECT_TRUE(waitUntil([&] { return window.windowTitle() == "Practice - Town Square"; }))
        << window.windowTitle().toStdString();
    ASSERT_TRUE(sayAndWait("squeezed")) << output().toStdString();
    EXPECT_FALSE(output().contains("corrupt"));
}

// The practice world with Diku-family manners (--diku): name and password
// at its prompts, an open prompt without go-ahead, tells and "[ 1 Wa]" WHO
// rows; the world is stored with Login=prompts.
TEST_F(MudE2E, DikuLogInTellsOpenPromptsAndWhoRows) {
    ASSERT_TRUE(logIn({"--diku"}, "Server=MUD\r\nLogin=prompts\r\n", false));
    ASSERT_TRUE(waitUntil([&] { return output().contains("Welcome to the practice town."); }))
        << output().toStdString();
    // The name after the name prompt, the password after its prompt; neither
    // "connect" nor frames, and the password never reaches the screen.
    EXPECT_EQ(typed(1), "Tester\r\npassword\r\n");
    EXPECT_FALSE(output().contains("password")) << output().toStdString();
    EXPECT_TRUE(output().contains("By what name do you wish to be known? \n")) << output().toStdString();
    ASSERT_TRUE(waitUntil([&] { return output().endsWith("20H 100M 85V > "); })) << output().toStdString();

    // A command's answer starts below the prompt the world left open.
    typeLine("look");
    ASSERT_TRUE(waitUntil([&] { return output().count("Town Square") >= 2; })) << output().toStdString();
    EXPECT_FALSE(output().contains("> Town Square")) << output().toStdString();

    // A tell from someone else starts a line of its own too, and opens her window.
    RawPlayer alice;
    ASSERT_TRUE(alice.connectTo(world.port()));
    alice.send("Alice\r\nalice\r\ntell Tester hello there\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Alice tells you, 'hello there'"); }));
    EXPECT_FALSE(output().contains("> Alice tells you")) << output().toStdString();
    const auto aliceWindow = [&] {
        for (QtConversationView* view : window.findChildren<QtConversationView*>()) {
            if (view->windowTitle().startsWith("Alice")) {
                return view;
            }
        }
        return static_cast<QtConversationView*>(nullptr);
    };
    ASSERT_TRUE(waitUntil([&] { return aliceWindow() != nullptr; }));
    EXPECT_TRUE(waitUntil(
        [&] { return aliceWindow()->output()->toPlainText() == "Alice tells you, 'hello there'"; }))
        << aliceWindow()->output()->toPlainText().toStdString();

    // The bracketed WHO rows fill the player list.
    commandButton(6)->click();
    ASSERT_TRUE(waitUntil([&] { return playerList() != nullptr && playerList()->isVisible(); }));
    ASSERT_TRUE(waitUntil([&] { return client.session().ListMode == 0; }));
    QStringList awake = entries(playerList()->findChild<QListWidget*>("AwakeList"));
    awake.sort();
    EXPECT_EQ(awake, (QStringList{"Alice", "Tester"}));
}

} // namespace
} // namespace corvane::testing
