#include "qt/qt_conversation_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_view_factory.h"
#include "qt/qt_output_box.h"
#include "widgets/qt_wait.h"

#include <QLineEdit>
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

} // namespace
} // namespace corvane::testing
