#include "behaviour/scratch_folder.h"
#include "conversations/conversation_route.h"
#include "conversations/conversation_routes_presenter.h"
#include "fakes/fake_platform.h"
#include "qt/qt_conversation_routes_view.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_view_factory.h"
#include "qt/qt_output_box.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TextLine line(const std::string& text) {
    TextLine shown;
    shown.text = text;
    shown.complete = true;
    return shown;
}

// Lines, title and prefix reach a shown window once a frame; lines dropped
// (the conversation keeps its last 500) come off the box or never reach it.
TEST(ConversationViewWidget, ABurstReachesTheBoxInOneFrameWithoutTheLinesAlreadyDropped) {
    QtConversationView view(nullptr, nullptr);
    view.setTitle("Alice - Corvane");
    view.appendLine(line("one"));
    view.showQuietly();
    ASSERT_TRUE(waitUntil([&] { return view.output()->toPlainText() == "one"; }));
    EXPECT_EQ(view.windowTitle(), "Alice - Corvane");

    view.appendLine(line("two"));
    view.appendLine(line("three"));
    view.dropOldest(2); // "one" from the box, "two" before it was drawn
    view.appendLine(line("four"));
    view.setTitle("Alice (3) - Corvane");
    view.setPrefix("whisper Alice=");
    EXPECT_EQ(view.output()->toPlainText(), "one");
    ASSERT_TRUE(waitUntil([&] { return view.output()->toPlainText() == "three\nfour"; }));
    EXPECT_EQ(view.windowTitle(), "Alice (3) - Corvane");
    EXPECT_EQ(view.prefix()->text(), "whisper Alice=");

    view.appendLine(line("five"));
    view.dropOldest(3);
    ASSERT_TRUE(waitUntil([&] { return view.output()->toPlainText().isEmpty(); }));

    // Plain lines go in together; a coloured one between them keeps its place and colour.
    TextLine coloured = line("seven");
    coloured.spans.push_back(StyleSpan{0, 5, TextStyle{Rgb{255, 0, 0}, {}, false, false, false, false}});
    view.appendLine(line("six"));
    view.appendLine(coloured);
    view.appendLine(line("eight"));
    ASSERT_TRUE(waitUntil([&] { return view.output()->toPlainText() == "six\nseven\neight"; }))
        << view.output()->toPlainText().toStdString();
    const QTextBlock seven = view.output()->document()->findBlockByNumber(1);
    ASSERT_FALSE(seven.textFormats().isEmpty());
    EXPECT_EQ(seven.textFormats().front().format.foreground().color(), QColor(255, 0, 0));
}

TEST(ConversationViewWidget, FollowsTheMainWindowsFontAndColoursWhenTheyChange) {
    QtMainWindow main;
    QtViewFactory factory;
    factory.setParentWindow(&main);
    std::unique_ptr<ConversationView> made = factory.createConversationView();
    auto* view = dynamic_cast<QtConversationView*>(made.get());
    ASSERT_NE(view, nullptr);
    QFont larger("DejaVu Sans Mono");
    larger.setPointSize(17);
    main.outputBox()->setDisplayLook(larger, Qt::yellow, Qt::darkBlue);
    EXPECT_EQ(view->output()->font().pointSize(), 17);
    EXPECT_EQ(view->output()->displayLook().background, QColor(Qt::darkBlue));
}

// Typing into a field goes through the presenter at every key and must not
// move the caret; Save writes the file; Escape asks about what is unsaved.
TEST(ConversationRoutesWidget, TypingARouteAndSavingIt) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Conversations]\r\n");
    FakePrompts prompts;
    QtConversationRoutesView view(nullptr);
    ConversationRoutesPresenter presenter(view, {prompts, folder.file("CORVANE.INI"), {}});
    view.setEvents(&presenter);
    presenter.open();
    auto* list = view.findChild<QListWidget*>("ConversationRoutesList");
    auto* save = view.findChild<QPushButton*>("ConversationRoutesSave");
    auto* pattern = view.findChild<QLineEdit*>("ConversationRoutePattern");
    const int builtIns = static_cast<int>(BuiltInConversationRoutes().size());
    ASSERT_EQ(list->count(), builtIns);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(pattern->isEnabled()) << "a built-in form has no pattern";

    QTest::mouseClick(view.findChild<QPushButton*>("ConversationRoutesAddRoute"), Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), builtIns);
    ASSERT_TRUE(pattern->isEnabled());
    QTest::keyClicks(pattern, "^(?<who>\\w+) notes: ");
    EXPECT_EQ(pattern->text(), "^(?<who>\\w+) notes: ");
    EXPECT_EQ(list->item(builtIns)->text(), "Page route: ^(?<who>\\w+) notes: ");
    EXPECT_TRUE(view.findChild<QLabel*>("ConversationRouteError")->isHidden());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(folder.read("CORVANE.INI"), "[Conversations]\r\nRoute 1=page,on,regex,^(?<who>\\w+) notes: \r\n");

    QTest::keyClicks(pattern, "x");
    view.show();
    prompts.answers = {PromptAnswer::Cancel};
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(prompts.questions.size(), 1u);
}

} // namespace
} // namespace corvane::testing
