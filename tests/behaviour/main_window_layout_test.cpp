#include "fakes/client_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(MainWindowLayout, AWindowDraggedNarrowerThanTheMinimumSnapsBack) {
    ClientHarness h;
    h.client.start(false);
    h.window.geometry.width = 6000;
    h.window.geometry.height = 1000;
    h.client.onWindowResized();
    EXPECT_EQ(h.window.geometry.width, 9140);
    EXPECT_EQ(h.window.geometry.height, h.window.placedInputHeight + 1920);
    EXPECT_EQ(h.window.minimumSize.width, 9140);
}

TEST(MainWindowLayout, ScreenSmallerThanTheMinimumGetsAWindowNoLargerThanIt) {
    ClientHarness h;
    h.window.screen = {0, 0, 6000, 8000};
    h.window.geometry.width = 7000;
    h.client.start(false);
    EXPECT_EQ(h.window.minimumSize.width, 8000);
    EXPECT_EQ(h.window.geometry.width, 8000);
}

TEST(MainWindowLayout, PartsArePlacedByTheDesignedNumbers) {
    ClientHarness h;
    h.client.start(false);
    h.window.geometry.width = 12000;
    h.window.geometry.height = 9000;
    h.client.onWindowResized();
    const int inputTop = 9000 - 285 - 810;
    EXPECT_EQ(h.window.placedInput.top, inputTop);
    EXPECT_EQ(h.window.placedInput.width, 12000 - 700);
    EXPECT_EQ(h.window.placedOutput.width, 12000 - 365);
    EXPECT_EQ(h.window.placedOutput.height, inputTop - 720 - 360);
    EXPECT_EQ(h.window.placedStatus.top, inputTop - 300);
}

struct BarCase {
    const char* name;
    bool commandBar;
    bool macroBar;
    int outputTop;
    int macroBarTop;
};

class BarRows : public ::testing::TestWithParam<BarCase> {};

TEST_P(BarRows, OutputStartsBelowTheShownBars) {
    ClientHarness h;
    h.client.start(false);
    if (!GetParam().commandBar) {
        h.client.onMenuTriggered(MenuItem::ViewCommand);
    }
    if (!GetParam().macroBar) {
        h.client.onMenuTriggered(MenuItem::ViewMacro);
    }
    EXPECT_EQ(h.window.placedOutput.top, GetParam().outputTop);
    EXPECT_EQ(h.window.commandBarShown, GetParam().commandBar);
    EXPECT_EQ(h.window.menuChecked[MenuItem::ViewCommand], GetParam().commandBar);
    EXPECT_EQ(h.window.menuChecked[MenuItem::ViewMacro], GetParam().macroBar);
    if (GetParam().macroBar) {
        EXPECT_EQ(h.window.placedMacroBar.top, GetParam().macroBarTop);
    }
}

INSTANTIATE_TEST_SUITE_P(Bars, BarRows,
                         ::testing::Values(BarCase{"Both", true, true, 720, 360},
                                           BarCase{"CommandOnly", true, false, 360, 0},
                                           BarCase{"MacroMovesUpToTheFirstRow", false, true, 360, 0},
                                           BarCase{"None", false, false, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowLayout, TheBarsShownAtShutDownComeBackAtTheNextStart) {
    ClientHarness h;
    h.client.start(false);
    h.client.onMenuTriggered(MenuItem::ViewMacro);
    h.client.onMenuTriggered(MenuItem::ViewMacro);
    EXPECT_TRUE(h.window.macroBarShown);
    EXPECT_EQ(h.window.placedOutput.top, 720);
}

struct LimitCase {
    const char* name;
    int charsPerLine;
    int maxLines;
    int limit;
    int keptLines;
    int maxOutputChars;
    bool notice;
};

class LineLimits : public ::testing::TestWithParam<LimitCase> {};

// The output box is as wide as the window less 365 twips; its usable width
// is that less 375, counted in "i"s of 120 twips.
TEST_P(LineLimits, FollowTheOutputWidth) {
    ClientHarness h;
    h.window.characterWidthTwips = 120;
    h.window.geometry.width = GetParam().charsPerLine * 120 + 375 + 365;
    h.client.start(false);
    h.client.settings().MaxLines = GetParam().maxLines;
    h.client.onWindowResized();
    EXPECT_EQ(h.client.settings().CharsPerLine, GetParam().charsPerLine);
    EXPECT_EQ(h.client.settings().MaxLinesLimit, GetParam().limit);
    EXPECT_EQ(h.client.settings().MaxLines, GetParam().keptLines);
    EXPECT_EQ(h.client.settings().MaxOutputChars, GetParam().maxOutputChars);
    if (GetParam().notice) {
        ASSERT_NE(h.views.notice, nullptr);
        EXPECT_EQ(h.views.notice->caption, "Corvane ver. 2.1");
        EXPECT_EQ(h.views.notice->text, "Maximum lines re-adjusted to " + std::to_string(GetParam().limit));
        EXPECT_TRUE(h.views.notice->shown);
    } else {
        EXPECT_EQ(h.views.notice, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, LineLimits,
                         ::testing::Values(LimitCase{"Box8775Lowers500To284", 70, 500, 284, 284, 19880, true},
                                           LimitCase{"WithinTheLimitNoNotice", 70, 200, 284, 200, 14000,
                                                     false},
                                           LimitCase{"EightyColumns", 80, 500, 249, 249, 19920, true},
                                           LimitCase{"HundredColumns", 100, 150, 199, 150, 15000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The world stays in the caption through a resize, so two windows still
// tell apart; only the ">>Corvane" of text received while minimised goes.
TEST(MainWindowLayout, AResizeKeepsTheCaptionAndTheNewestTextInView) {
    ClientHarness h;
    h.client.start(false);
    h.connect();
    ASSERT_EQ(h.window.captionText, "CORVane 2.1 on Test");
    const int updates = h.window.updates;
    h.client.onWindowResized();
    EXPECT_EQ(h.window.captionText, "CORVane 2.1 on Test");
    EXPECT_GT(h.window.updates, updates);

    h.window.captionText = ">>Corvane";
    h.window.activityIconShown = true;
    h.client.onWindowResized();
    EXPECT_EQ(h.window.captionText, "CORVane 2.1 on Test");
    EXPECT_FALSE(h.window.activityIconShown);

    h.window.minimised = true;
    h.window.captionText = ">>Corvane";
    h.client.onWindowResized();
    EXPECT_EQ(h.window.captionText, ">>Corvane");
}

TEST(MainWindowLayout, DisplaySettingsSizeTheInputLineToItsFont) {
    ClientHarness h;
    h.client.start(false);
    h.window.textHeight = 420;
    h.client.onActivated();
    EXPECT_EQ(h.window.placedInputHeight, 420);
    EXPECT_GT(h.window.displaySettingsApplied, 0);
}

} // namespace
} // namespace corvane::testing
