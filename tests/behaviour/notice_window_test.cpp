#include "fakes/fake_notice_view.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "shell/notice_window.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace corvane {
namespace {

using testing::FakeMainWindow;
using testing::FakeNoticeView;
using testing::FakeSound;

class NoticeWindowTest : public ::testing::Test {
protected:
    FakeNoticeView view;
    FakeMainWindow mainWindow;
    FakeSound sound;
    int mainWindowFocused = 0;
    NoticeWindow notice{view, mainWindow, mainWindow, sound, [this] { ++mainWindowFocused; }};
};

TEST_F(NoticeWindowTest, AboutBoxShowsVersionAndCreditAroundAFixedTextArea) {
    notice.About();

    EXPECT_EQ(view.caption, "About Corvane");
    EXPECT_EQ(view.text, "Corvane ver. 2.1");
    EXPECT_TRUE(view.textCentred);
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(view.creditVisible);
    EXPECT_EQ(view.window.width, 3025 + 1200);
    EXPECT_EQ(view.window.height, 375 + 480 + 1200);
    EXPECT_EQ(view.label.width, 3025);
    EXPECT_EQ(view.label.height, 480);
    EXPECT_EQ(view.label.left, 600);
    EXPECT_EQ(view.credit.top, 480 + 150);
    EXPECT_EQ(view.credit.left, (4225 - 2400) / 2);
    EXPECT_EQ(view.button.top, 480 + 650);
    EXPECT_EQ(view.button.left, (4225 - 1215) / 2);
    EXPECT_EQ(view.events, &notice);
}

TEST_F(NoticeWindowTest, NoticeAfterAboutUsesItsOwnTitleAndLayout) {
    notice.About();
    notice.onFocusLost();

    notice.ShowNotice("Room Info", "Room: #123 The Plaza\r\nTime here: 00:05:10", false);

    EXPECT_FALSE(view.shown); // the caller shows it
    EXPECT_EQ(view.caption, "Room Info");
    EXPECT_EQ(view.text, "Room: #123 The Plaza\nTime here: 00:05:10");
    EXPECT_FALSE(view.textCentred);
    EXPECT_FALSE(view.creditVisible);
    EXPECT_EQ(view.window.height, 375 + 480 + 900);
    EXPECT_EQ(view.button.top, 480 + 350);

    notice.show();
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.timesShown, 2);
}

TEST_F(NoticeWindowTest, UntitledNoticeTakesTheAboutCaptionButNoCredit) {
    notice.ShowNotice("", "Idle", false);

    EXPECT_EQ(view.caption, "About Corvane");
    EXPECT_FALSE(view.creditVisible);
    EXPECT_EQ(view.label.width, 3025);
    EXPECT_EQ(view.label.height, 480);
}

TEST_F(NoticeWindowTest, TallTextGrowsTheWindowBelowIt) {
    notice.ShowNotice("Lines", "1\n2\n3\n4\n5", false);

    const int h = 5 * FakeNoticeView::kLineHeight;
    EXPECT_EQ(view.label.height, h);
    EXPECT_EQ(view.window.height, 375 + h + 900);
    EXPECT_EQ(view.button.top, h + 350);
    EXPECT_LT(view.label.top + view.label.height, view.button.top);

    notice.ShowNotice("", "1\n2\n3\n4\n5", true);
    EXPECT_EQ(view.window.height, 375 + h + 1200);
    EXPECT_EQ(view.credit.top, h + 150);
    EXPECT_LT(view.label.top + view.label.height, view.credit.top);
}

TEST_F(NoticeWindowTest, EveryKindOfLineEndIsOneBreak) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"a\r\r\nb", "a\n\nb"},
        {"a\n\rb", "a\n\nb"},
        {"end\r", "end\n"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        notice.ShowNotice("T", in, false);
        EXPECT_EQ(view.text, out);
    }
}

TEST_F(NoticeWindowTest, LongWordsOnlyWidenTheWindowPastTheSnugWidth) {
    struct Step {
        std::size_t wordLength;
        int windowWidth;
    };
    // 105 twips a character: 40 characters fill 4200, 41 overflow 4225.
    const std::vector<Step> steps = {
        {10, 4225},        {40, 4200 + 1200}, {50, 5250 + 1200}, {45, 5250 + 1200},
        {60, 6300 + 1200}, {10, 4225},        {45, 4725 + 1200},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.wordLength);
        notice.ShowNotice("Link", std::string(step.wordLength, 'w'), false);
        EXPECT_EQ(view.window.width, step.windowWidth);
        EXPECT_EQ(view.label.left, (step.windowWidth - view.label.width) / 2);
        EXPECT_EQ(view.button.left, (step.windowWidth - 1215) / 2);
    }
}

TEST_F(NoticeWindowTest, ClosingKeysDependOnTheMainWindowState) {
    enum class Key { Ok, Escape, Other, FocusLost };
    struct Case {
        const char* name;
        Key key;
        bool minimised;
        bool shownAfter;
        bool destroyed;
        const char* focus;
        int mainWindowFocus;
        int beeps;
    };
    const std::vector<Case> cases = {
        {"OK", Key::Ok, false, false, false, "input", 0, 0},
        {"OK minimised", Key::Ok, true, false, false, "", 1, 0},
        {"Esc", Key::Escape, false, false, false, "input", 0, 0},
        {"Esc minimised", Key::Escape, true, false, true, "", 0, 0},
        {"letter", Key::Other, false, true, false, "", 0, 1},
        {"letter minimised", Key::Other, true, true, false, "", 0, 1},
        {"focus lost", Key::FocusLost, false, false, false, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNoticeView v;
        FakeMainWindow main;
        FakeSound beeper;
        int focused = 0;
        NoticeWindow n(v, main, main, beeper, [&] { ++focused; });
        main.minimised = c.minimised;
        n.ShowNotice("Trigger", "a dragon lands", false);
        n.show();

        switch (c.key) {
        case Key::Ok:
            v.events->onOk();
            break;
        case Key::Escape:
            v.events->onEscape();
            break;
        case Key::Other:
            v.events->onOtherKey();
            break;
        case Key::FocusLost:
            v.events->onFocusLost();
            break;
        }

        EXPECT_EQ(v.shown, c.shownAfter);
        EXPECT_EQ(v.destroyed, c.destroyed ? 1 : 0);
        EXPECT_EQ(main.focus, c.focus);
        EXPECT_EQ(focused, c.mainWindowFocus);
        EXPECT_EQ(beeper.beeps, c.beeps);
    }
}

TEST_F(NoticeWindowTest, ViewForgetsThePresenterWhenItGoes) {
    FakeNoticeView v;
    {
        NoticeWindow n(v, mainWindow, mainWindow, sound, nullptr);
        EXPECT_EQ(v.events, &n);
    }
    EXPECT_EQ(v.events, nullptr);
}

} // namespace
} // namespace corvane
