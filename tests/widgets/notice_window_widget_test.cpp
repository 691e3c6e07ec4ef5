#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_notice_view.h"
#include "shell/notice_window.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::FakeMainWindow;
using testing::FakeSound;
using testing::waitUntil;

// Pixels from twips may round either way.
void expectNear(int actual, double expected, const char* what) {
    EXPECT_LE(std::abs(actual - expected), 1.0) << what << ": " << actual << " vs " << expected;
}

class NoticeWindowWidget : public ::testing::Test {
protected:
    QtNoticeView view;
    FakeMainWindow mainWindow;
    FakeSound sound;
    int mainWindowFocused = 0;
    NoticeWindow notice{view, mainWindow, mainWindow, sound, [this] { ++mainWindowFocused; }};

    QLabel* label() const { return view.findChild<QLabel*>("lblHelp"); }
    QLabel* credit() const { return view.findChild<QLabel*>("lblCopyright"); }
    QPushButton* button() const { return view.findChild<QPushButton*>("btnOK"); }

    void showNotice(const std::string& title, const std::string& text, bool about) {
        notice.ShowNotice(title, text, about);
        notice.show();
        ASSERT_TRUE(waitUntil([&] { return view.isVisible(); }));
    }
};

TEST_F(NoticeWindowWidget, LongNoticeIsPlainTextLaidOutInTwips) {
    std::string text = "Room: <b>x</b> The Plaza &amp; its fountain";
    for (int i = 0; i < 12; ++i) {
        text += " and more words that wrap";
    }
    text += "\r\nLast line";
    showNotice("Room Info", text, false);

    ASSERT_NE(label(), nullptr);
    EXPECT_EQ(view.objectName(), "HelpForm");
    EXPECT_EQ(view.windowTitle(), "Room Info");
    EXPECT_EQ(label()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label()->text().startsWith("Room: <b>x</b> The Plaza &amp;"));
    EXPECT_TRUE(label()->text().endsWith("\nLast line"));
    EXPECT_EQ(button()->text(), "&OK");
    EXPECT_TRUE(credit()->isHidden());

    const QRect l = label()->geometry();
    const QRect b = button()->geometry();
    const int labelHeightTwips = l.height() * 15;
    EXPECT_EQ(l.width(), 202); // 3025 twips: long text wraps instead of widening
    EXPECT_GT(l.height(), 3 * label()->fontMetrics().height());
    EXPECT_GE(l.height(), label()->heightForWidth(l.width()));
    expectNear(view.width(), (3025 + 1200) / 15.0, "window width");
    expectNear(view.height(), (b.height() * 15 + labelHeightTwips + 900) / 15.0, "window height");
    expectNear(b.top(), (labelHeightTwips + 350) / 15.0, "button top");
    expectNear(l.left(), (view.width() - l.width()) / 2.0, "label left");
    expectNear(b.left(), (view.width() - b.width()) / 2.0, "button left");
    EXPECT_LT(l.bottom(), b.top());

    view.grab().save("/tmp/corvane-notice.png");
}

TEST_F(NoticeWindowWidget, AboutBoxShowsCreditCentredBetweenTextAndButton) {
    notice.About();
    ASSERT_TRUE(waitUntil([&] { return view.isVisible(); }));

    EXPECT_EQ(view.windowTitle(), "About Corvane");
    EXPECT_EQ(label()->text(), "Corvane ver. 2.1");
    EXPECT_TRUE(credit()->isVisible());
    EXPECT_EQ(credit()->textFormat(), Qt::PlainText);
    const QRect l = label()->geometry();
    const QRect c = credit()->geometry();
    const QRect b = button()->geometry();
    EXPECT_EQ(l.height(), 32); // 480 twips
    expectNear(c.top(), (480 + 150) / 15.0, "credit top");
    expectNear(c.left(), (view.width() - c.width()) / 2.0, "credit left");
    expectNear(b.top(), (480 + 650) / 15.0, "button top");
    expectNear(view.height(), (b.height() * 15 + 480 + 1200) / 15.0, "window height");
    EXPECT_LT(c.bottom(), b.top());
    view.grab().save("/tmp/corvane-about.png");

    view.hideWindow();
    showNotice("Idle", "Idle mode on", false);
    EXPECT_TRUE(credit()->isHidden());
    expectNear(view.height(), (b.height() * 15 + 480 + 900) / 15.0, "notice height");
}

TEST_F(NoticeWindowWidget, KeysOnTheButton) {
    showNotice("Trigger", "a dragon lands", false);
    ASSERT_TRUE(waitUntil([&] { return button()->hasFocus(); }));

    QTest::keyClick(button(), Qt::Key_A);
    QTest::keyClick(button(), Qt::Key_Space);
    EXPECT_EQ(sound.beeps, 2);
    EXPECT_TRUE(view.isVisible());

    QTest::keyClick(button(), Qt::Key_Return);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(mainWindow.focus, "input");

    mainWindow.focus.clear();
    mainWindow.minimised = true;
    showNotice("Trigger", "a dragon lands", false);
    QTest::keyClick(button(), Qt::Key_Enter);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(mainWindowFocused, 1);
    EXPECT_EQ(mainWindow.focus, "");

    showNotice("Trigger", "a dragon lands", false);
    QTest::keyClick(button(), Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(sound.beeps, 2);
}

TEST_F(NoticeWindowWidget, ActivatingAnotherWindowHidesTheNotice) {
    showNotice("Room Info", "The Plaza", false);
    view.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return view.isActiveWindow(); }));

    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();

    EXPECT_TRUE(waitUntil([&] { return !view.isVisible(); }));
    EXPECT_EQ(sound.beeps, 0);
}

TEST_F(NoticeWindowWidget, CloseBoxHandsTheFocusBackLikeOk) {
    showNotice("Room Info", "The Plaza", false);

    view.close();

    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(mainWindow.focus, "input");
    showNotice("Room Info", "The Plaza again", false);
    EXPECT_EQ(label()->text(), "The Plaza again");
}

} // namespace
} // namespace corvane
