#include "e2e/real_client.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_socket.h"
#include "qt/qt_timers.h"
#include "shell/client.h"
#include "widgets/loopback_server.h"
#include "widgets/qt_print.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The shown main window on a real socket: the output box pauses the
// processing of received text while it has the keyboard focus.
struct OutputPauseWidget : ::testing::Test, RealClient<> {
    LoopbackServer server;
    QString before;

    void SetUp() override {
        client.start(false);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        input()->setFocus();
        ASSERT_TRUE(waitUntil([&] { return input()->hasFocus(); }));
    }

    bool connect() {
        connectTo(server.port());
        if (!waitUntil([&] { return server.peer != nullptr; })) {
            return false;
        }
        before = output();
        return true;
    }

    QtOutputBox* box() const { return window.outputBox(); }
    QLineEdit* input() const { return window.findChild<QLineEdit*>("Text1"); }
    QString status() const { return window.findChild<QLabel*>("Label3_0")->text(); }
    QString output() const { return box()->toPlainText(); }
    QString shown() const { return output().mid(before.size()); }

    bool clickIntoOutput() {
        QTest::mouseClick(box()->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        return waitUntil([&] { return box()->hasFocus(); });
    }
    bool clickIntoInput() {
        QTest::mouseClick(input(), Qt::LeftButton);
        return waitUntil([&] { return input()->hasFocus(); });
    }
    // Waits until the socket has handed the bytes over while output is paused.
    bool received(const QByteArray& tail) {
        return waitUntil(
            [&] { return QByteArray::fromStdString(client.receivePath().heldText()).endsWith(tail); });
    }
};

TEST_F(OutputPauseWidget, ClickingIntoTheOutputHoldsTextUntilTheInputLineHasTheFocusAgain) {
    ASSERT_TRUE(connect());
    server.send("before the click\r\n");
    ASSERT_TRUE(waitUntil([&] { return shown() == "before the click\n"; }));

    ASSERT_TRUE(clickIntoOutput());
    EXPECT_EQ(status(), "Status: *** Output Paused ***");
    EXPECT_TRUE(client.session().OutputPaused);

    server.send("first\r\nsecond ");
    ASSERT_TRUE(received("second "));
    server.send("half\r\nthird\r\n");
    ASSERT_TRUE(received("third\r\n"));
    EXPECT_EQ(shown(), "before the click\n");

    ASSERT_TRUE(clickIntoInput());
    EXPECT_EQ(status(), "Status: On Line");
    EXPECT_FALSE(client.session().OutputPaused);
    EXPECT_EQ(shown(), "before the click\nfirst\nsecond half\nthird\n");

    server.send("after\r\n");
    ASSERT_TRUE(waitUntil([&] { return shown().endsWith("third\nafter\n"); }));
}

// The pause shows where the player looks: a bar at the bottom of the
// output box counts what waits, and Escape there lets it through.
TEST_F(OutputPauseWidget, ABarInTheOutputCountsHeldLinesAndEscapeEndsThePause) {
    ASSERT_TRUE(connect());
    ASSERT_TRUE(clickIntoOutput());
    QLabel* bar = box()->pauseBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text(), QString::fromUtf8("Paused \u2014 no new lines \u2014 Esc or click the input line to go on"));
    EXPECT_EQ(bar->textFormat(), Qt::PlainText);
    EXPECT_EQ(bar->geometry().bottom(), box()->viewport()->geometry().bottom());

    server.send("first\r\nsecond\r\n");
    ASSERT_TRUE(received("second\r\n"));
    EXPECT_TRUE(bar->text().startsWith(QString::fromUtf8("Paused \u2014 2 new lines")));

    QTest::keyClick(box(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return input()->hasFocus(); }));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(client.session().OutputPaused);
    EXPECT_EQ(shown(), "first\nsecond\n");
}

TEST_F(OutputPauseWidget, HeldMarkerLinesAreStillConsumedWhenThePauseEnds) {
    ASSERT_TRUE(connect());
    client.session().TagMode = true;
    ASSERT_TRUE(clickIntoOutput());

    server.send("[on]\r\n[vrox] #165 North Road\r\nA rutted road.\r\n[off]\r\n");
    ASSERT_TRUE(received("[off]\r\n"));
    EXPECT_EQ(client.session().RoomRef, 0);

    ASSERT_TRUE(clickIntoInput());
    EXPECT_EQ(shown(), "A rutted road.\n");
    EXPECT_EQ(client.session().RoomRef, 165);
    EXPECT_EQ(window.windowTitle(), "Loopback - North Road");
}

TEST_F(OutputPauseWidget, KeysTypedIntoTheOutputGoOnInTheInputLine) {
    ASSERT_TRUE(connect());
    server.send("some text\r\n");
    ASSERT_TRUE(waitUntil([&] { return shown() == "some text\n"; }));
    ASSERT_TRUE(clickIntoOutput());
    server.send("held\r\n");
    ASSERT_TRUE(received("held\r\n"));

    QTest::keyClick(box(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(box()->hasFocus());
    QTest::keyClick(box(), Qt::Key_L);
    ASSERT_TRUE(waitUntil([&] { return input()->hasFocus(); }));
    QTest::keyClicks(input(), "ook");

    EXPECT_EQ(input()->text(), "look");
    EXPECT_EQ(status(), "Status: On Line");
    EXPECT_EQ(shown(), "some text\nheld\n");
    QTest::keyClick(input(), Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return server.received.endsWith("look\r\n"); }));
}

TEST_F(OutputPauseWidget, SelectAllPausesAndCopyEndsThePause) {
    ASSERT_TRUE(connect());
    server.send("copy me\r\n");
    ASSERT_TRUE(waitUntil([&] { return shown() == "copy me\n"; }));

    window.findChild<QAction*>("EditSelectAll")->trigger();
    ASSERT_TRUE(waitUntil([&] { return box()->hasFocus(); }));
    EXPECT_EQ(status(), "Status: *** Output Paused ***");
    server.send("held\r\n");
    ASSERT_TRUE(received("held\r\n"));

    window.findChild<QAction*>("EditCopy")->trigger();
    ASSERT_TRUE(waitUntil([&] { return input()->hasFocus(); }));
    EXPECT_TRUE(QString::fromStdString(clipboard.contents).endsWith("copy me\r\n"));
    EXPECT_EQ(status(), "Status: On Line");
    EXPECT_EQ(shown(), "copy me\nheld\n");
}

TEST_F(OutputPauseWidget, OffLineTheClickLeavesTheOffLineStatus) {
    ASSERT_TRUE(clickIntoOutput());
    EXPECT_EQ(status(), "Status: Off Line");
    ASSERT_TRUE(clickIntoInput());
    EXPECT_EQ(status(), "Status: Off Line");
    EXPECT_FALSE(client.session().OutputPaused);
}

} // namespace
} // namespace corvane::testing
