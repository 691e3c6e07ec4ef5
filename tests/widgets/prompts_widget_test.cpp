#include "qt/qt_prompts.h"
#include "widgets/qt_wait.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A box with a short text is still as wide as its title.
struct Boxed {
    const char* name;
    std::function<void(QtPrompts&)> open;
    QString title;
};

class PromptsWidget : public ::testing::TestWithParam<Boxed> {};

TEST_P(PromptsWidget, IsWideEnoughForItsTitle) {
    QtPrompts prompts;
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        waitUntil([&] { return box->isVisible(); });
        width = box->width();
        needed = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(GetParam().title);
        EXPECT_EQ(box->windowTitle(), GetParam().title);
        static_cast<QDialog*>(box)->reject();
    });
    GetParam().open(prompts);
    EXPECT_GT(width, needed);
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, PromptsWidget,
    ::testing::Values(
        Boxed{"Message", [](QtPrompts& p) { p.message("Refused.", "Connection Failed 0061", PromptIcon::None); },
              "Connection Failed 0061"},
        Boxed{"Question",
              [](QtPrompts& p) {
                  p.ask("a/********\rAdd this name/pw?", "Add Name/PW and a longer title", PromptButtons::YesNo,
                        PromptIcon::Question, PromptAnswer::Yes);
              },
              "Add Name/PW and a longer title"}),
    [](const auto& info) { return std::string(info.param.name); });

// The world closes while the player types: the box must not take the rest
// of the line; once the player pauses, Enter is the box's again.
TEST(UnaskedPrompt, KeysTypedAsItAppearsGoOnInTheMainWindow) {
    QWidget main;
    auto* line = new QLineEdit(&main);
    main.show();
    line->setFocus();
    QtPrompts prompts;
    prompts.setParentWindow(&main);
    bool closedByEnter = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClicks(box, "say abc");
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_TRUE(box->isVisible());
        QTest::qWait(QtPrompts::kTypingPauseMs + 200);
        QTest::keyClick(box, Qt::Key_Return);
        closedByEnter = !box->isVisible();
    });
    prompts.messageUnasked("Connection Closed", "CORVane 2.1", PromptIcon::None);
    EXPECT_EQ(line->text(), "say abc");
    EXPECT_TRUE(closedByEnter);
}

} // namespace
} // namespace corvane::testing
