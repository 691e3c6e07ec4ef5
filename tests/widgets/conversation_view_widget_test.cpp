#include "behaviour/scratch_folder.h"
#include "conversations/conversation_route.h"
#include "conversations/conversation.h"
#include "conversations/conversation_tab.h"
#include "conversations/conversation_routes_presenter.h"
#include "conversations/conversation_tabs.h"
#include "fakes/fake_platform.h"
#include "qt/qt_conversation_routes_view.h"
#include "qt/qt_conversation_tabs_view.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_view_factory.h"
#include "qt/qt_output_box.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
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

// Pages from two people open one window beside the main one without taking
// its keyboard; the tabs name them as the world spells them and the keys go round them.
TEST(ConversationTabsWidget, TwoPagesShareAQuietWindowWhoseTabsTheKeysGoRound) {
    QtMainWindow main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return main.isActiveWindow(); }));
    main.inputLine()->setFocus();
    QtViewFactory factory;
    factory.setParentWindow(&main);
    QtConversationTabsView* window = nullptr;
    ConversationTabs tabs([&] {
        auto made = factory.createConversationTabsView();
        window = dynamic_cast<QtConversationTabsView*>(made.get());
        return made;
    });
    std::vector<std::string> sent;
    const Conversation::Hooks hooks{[&sent](const std::string& text) {
                                        sent.push_back(text);
                                        return true;
                                    },
                                    {},
                                    {}};
    Conversation alice("Alice", tabs.wrap("Alice", factory.createConversationView()), hooks);
    Conversation bob("Bob & Co", tabs.wrap("Bob & Co", factory.createConversationView()), hooks);
    ASSERT_NE(window, nullptr);
    alice.addLine(line("Alice pages: hi"));
    bob.addLine(line("Bob & Co pages: yo"));
    ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
    pumpEvents(600);
    EXPECT_TRUE(main.isActiveWindow()) << "a window that opens by itself leaves the keyboard where it was";
    EXPECT_EQ(QApplication::focusWidget(), main.inputLine());
    QTabWidget* shown = window->tabs();
    ASSERT_EQ(shown->count(), 2);
    EXPECT_EQ(shown->tabText(0), "Alice (1)");
    EXPECT_EQ(shown->tabText(1), "Bob && Co (1)") << "an ampersand in a name is no shortcut key";
    EXPECT_EQ(window->windowTitle(), "Conversations (2 unread) - Corvane");

    window->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
    EXPECT_TRUE(waitUntil([&] { return shown->tabText(0) == "Alice"; })) << "a frame later, not a line later";
    auto* alicePage = dynamic_cast<QtConversationView*>(&dynamic_cast<ConversationTab&>(alice.view()).page());
    ASSERT_NE(alicePage, nullptr);
    auto* bobPage = dynamic_cast<QtConversationView*>(&dynamic_cast<ConversationTab&>(bob.view()).page());
    ASSERT_NE(bobPage, nullptr);
    EXPECT_TRUE(bobPage->output()->toPlainText().isEmpty()) << "a tab not on show lays out nothing";
    alicePage->input()->setFocus();
    QTest::keyClick(alicePage->input(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(shown->currentIndex(), 1);
    EXPECT_EQ(bobPage->output()->toPlainText(), "Bob & Co pages: yo") << "shown, it takes its lines at once";
    EXPECT_TRUE(waitUntil([&] { return shown->tabText(1) == "Bob && Co"; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(shown->currentIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(shown->currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown->currentIndex(), 0);

    QTest::keyClicks(alicePage->input(), "hello");
    QTest::keyClick(alicePage->input(), Qt::Key_Return);
    EXPECT_EQ(sent, std::vector<std::string>{"hello"});
    // The close button on a tab closes the conversation's tab; its lines stay for the next one.
    emit shown->tabCloseRequested(0);
    EXPECT_EQ(shown->count(), 1);
    alice.addLine(line("Alice pages: back"));
    EXPECT_EQ(shown->count(), 2);
    EXPECT_EQ(shown->currentIndex(), 0) << "Bob stays on show";
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
