#include "e2e/practice_world_fixture.h"
#include "qt/qt_main_window.h"
#include "qt/qt_mcp_dialog_view.h"
#include "qt/qt_mcp_editor_view.h"
#include "qt/qt_mcp_help_view.h"
#include "qt/qt_output_box.h"
#include "shell/client.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// MCP against the practice world, which speaks it as the common MUCK servers do.
struct McpE2E : EitherManner {
    std::vector<QtMcpEditorView*> editors() const {
        std::vector<QtMcpEditorView*> shown;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* editor = qobject_cast<QtMcpEditorView*>(widget); editor && editor->isVisible()) {
                shown.push_back(editor);
            }
        }
        return shown;
    }
    QtMcpEditorView* editorTitled(const QString& title) const {
        for (QtMcpEditorView* editor : editors()) {
            if (editor->windowTitle() == title) {
                return editor;
            }
        }
        return nullptr;
    }
};

TEST_P(McpE2E, TheHandshakeIsNeverSeenAndMcpeditCompilesWhatCtrlSSends) {
    ASSERT_TRUE(logIn());
    ASSERT_TRUE(sayAndWait("ready"));
    EXPECT_FALSE(output().contains("#$#"));
    const QByteArray sent = world.receivedAll(1);
    EXPECT_TRUE(sent.contains("#$#mcp authentication-key: ")) << sent.toStdString();
    EXPECT_TRUE(sent.contains(" package: dns-org-mud-moo-simpleedit min-version: 1.0 max-version: 1.0\r\n"));

    typeLine("@mcpedit lib-away");
    ASSERT_TRUE(waitUntil([&] { return editorTitled("a program named lib-away(23) - Practice") != nullptr; }));
    QtMcpEditorView* editor = editorTitled("a program named lib-away(23) - Practice");
    EXPECT_TRUE(input()->hasFocus() || !window.isActiveWindow()) << "the editor must not take the keyboard";
    EXPECT_EQ(editor->sendButton()->text(), "&Compile");
    EXPECT_EQ(editor->editor()->document()->findBlockByNumber(1).text(), " ");
    QTextCursor cursor(editor->editor()->document()->findBlockByNumber(0));
    cursor.select(QTextCursor::LineUnderCursor);
    cursor.insertText("( changed by the test )");
    QTest::keyClick(editor->editor(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return output().contains("Program lib-away(#23) compiled: 10 lines, no errors."); }));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(world.receivedAll(1).contains(" content: ( changed by the test )\r\n"));

    // Escape never closes the window; Close with nothing unsent asks nothing.
    QTest::keyClick(editor->editor(), Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    editor->closeButton()->click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(prompts.questions.empty());
}

TEST_P(McpE2E, InterleavedEditsOpenSideBySideAndErrorsComeAsNotices) {
    ASSERT_TRUE(logIn());
    typeLine("@mcpnotes");
    ASSERT_TRUE(waitUntil([&] { return editors().size() == 2; }));
    ASSERT_NE(editorTitled("Your notes - Practice"), nullptr);
    QtMcpEditorView* motto = editorTitled("Your motto - Practice");
    ASSERT_NE(motto, nullptr);
    EXPECT_EQ(motto->line()->text(), "Onwards.");
    EXPECT_EQ(editorTitled("Your notes - Practice")->editor()->toPlainText(), "Buy bread.\n\nFeed Whisker.");
    EXPECT_TRUE(output().contains("The town clock strikes the hour."));

    McpMessage bad;
    bad.name = "dns-org-mud-moo-simpleedit-set";
    bad.add("reference", "bogus").add("type", "string").add("content", "x");
    ASSERT_TRUE(client.mcp().link().send(bad));
    ASSERT_TRUE(waitUntil([&] { return output().contains("*** simpleedit-set: Bad reference value."); }));
    EXPECT_EQ(label(0), "Bad reference value.");
    EXPECT_TRUE(prompts.messages.empty());

    typeLine("#$#say not mcp");
    ASSERT_TRUE(sayAndWait("after"));
    EXPECT_TRUE(world.receivedAll(1).contains("\r\n#$\"#$#say not mcp\r\n"));
}

TEST_P(McpE2E, TheListEditorsGuiDialogSavesTheBody) {
    ASSERT_TRUE(logIn());
    typeLine("lsedit me=plans");
    ASSERT_TRUE(waitUntil([&] { return output().contains("< Insert at line 1 >"); }));
    typeLine(".gui");
    QtMcpDialogView* dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QtMcpDialogView*>(widget); found && found->isVisible()) {
                dialog = found;
            }
        }
        return dialog != nullptr;
    }));
    EXPECT_EQ(dialog->windowTitle(), "Editing plans");
    auto* body = qobject_cast<QPlainTextEdit*>(dialog->control("body"));
    ASSERT_NE(body, nullptr);
    body->setPlainText("Sweep the square.\nMend the well rope.");
    auto* save = qobject_cast<QPushButton*>(dialog->control("SaveBtn"));
    ASSERT_NE(save, nullptr);
    save->click();
    ASSERT_TRUE(waitUntil([&] { return output().contains("< List saved: 2 lines. >"); }));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(output().contains("#$#"));
}

TEST_P(McpE2E, MuckHelpShowsTheWorldsEntryAndItsErrorsAsNotices) {
    auto* menuItem = window.findChild<QAction*>("HelpMuck");
    ASSERT_NE(menuItem, nullptr);
    auto* traffic = window.findChild<QAction*>("ViewMcpTraffic");
    ASSERT_NE(traffic, nullptr);
    EXPECT_TRUE(traffic->isCheckable());
    EXPECT_FALSE(traffic->isChecked());
    ASSERT_TRUE(logIn());
    ASSERT_TRUE(waitUntil([&] { return menuItem->isEnabled(); })) << "the world offers its help";
    menuItem->trigger();
    QtMcpHelpView* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<QtMcpHelpView*>(widget); found && found->isVisible()) {
            help = found;
        }
    }
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), "MUCK Help - Practice");
    help->topicField()->setText("page");
    help->kindBox()->setCurrentText("man");
    help->lookUpButton()->click();
    ASSERT_TRUE(waitUntil([&] { return help->entryText()->toPlainText().contains("anywhere in the town."); }));
    EXPECT_EQ(help->entryText()->toPlainText().split('\n').value(1), "") << "two blanks shown as an empty line";

    help->topicField()->setText("nothing");
    QTest::keyClick(help->topicField(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return output().contains("*** nothing: Sorry, there is no help on 'nothing'."); }));
    EXPECT_EQ(label(0), "Sorry, there is no help on 'nothing'.");
    EXPECT_EQ(help->statusLabel()->text(), "Sorry, there is no help on 'nothing'.");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(output().contains("#$#"));

    client.connection().DisconnectFromWorld();
    EXPECT_FALSE(menuItem->isEnabled());
    EXPECT_FALSE(help->lookUpButton()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Manners, McpE2E, kBothManners, mannerTestName);

} // namespace
} // namespace corvane::testing
