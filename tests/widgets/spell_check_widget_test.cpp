#include "behaviour/scratch_folder.h"
#include "qt/qt_main_window.h"
#include "qt/qt_mcp_editor_view.h"
#include "qt/qt_spell_check.h"
#include "qt/qt_spell_underline.h"
#include "spell/spell_service.h"
#include "widgets/qt_wait.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The spell check on real widgets with the small test dictionary (test_GB:
// hello, world, the, cat, sat, on, mat, colour, don't, café, typing, is, a, line).
struct SpellCheckWidget : ::testing::Test {
    ScratchFolder folder;
    SpellService service{{std::string(CORVANE_TEST_DATA) + "/spell"}, folder.file("corvane-words.txt"), "en_GB"};
    QtSpellCheck spellCheck{service};
    QLineEdit line;

    void SetUp() override {
        ASSERT_EQ(service.installedDictionaries(), (std::vector<std::string>{"test_GB"}));
        ASSERT_EQ(service.useDictionary("test_GB"), "");
        spellCheck.attach(&line);
        line.resize(400, line.sizeHint().height());
        line.show();
    }
    QStringList marked() const { return line.findChild<QtSpellUnderline*>()->markedWords(); }
    // Where a right-click on the character at position lands.
    QPoint pointAt(int position) {
        line.setCursorPosition(position);
        return line.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    }
    static QStringList captions(const QMenu& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions()) {
            texts.append(action->isSeparator() ? QString("|") : action->text());
        }
        return texts;
    }
    static QAction* find(const QMenu& menu, const QString& text) {
        for (QAction* action : menu.actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }
};

TEST_F(SpellCheckWidget, MarksMisspeltWordsAsTheyAreTyped) {
    QTest::keyClicks(&line, "the cat szt on teh mat");
    EXPECT_EQ(line.text(), "the cat szt on teh mat");
    EXPECT_EQ(marked(), (QStringList{"szt", "teh"}));
    line.setText(QString::fromUtf8("caf\u00E9 hello"));
    EXPECT_TRUE(marked().isEmpty());
    EXPECT_FALSE(line.findChild<QtSpellUnderline*>()->hasFocus());
    EXPECT_TRUE(line.findChild<QtSpellUnderline*>()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(SpellCheckWidget, RightClickOffersSuggestionsAndAddAboveTheEditMenu) {
    line.setText("hello wurld");
    std::unique_ptr<QMenu> menu(spellCheck.menuAt(&line, pointAt(8)));
    const QStringList texts = captions(*menu);
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.front(), "world");
    const int add = static_cast<int>(texts.indexOf(QString::fromUtf8("Add \u201Cwurld\u201D to Dictionary")));
    ASSERT_GT(add, 0);
    EXPECT_LE(add, 6);
    EXPECT_EQ(texts.at(add + 1), "|");
    EXPECT_TRUE(texts.filter("Copy").size() == 1) << texts.join(", ").toStdString();

    find(*menu, "world")->trigger();
    EXPECT_EQ(line.text(), "hello world");
    EXPECT_TRUE(marked().isEmpty());
    line.undo();
    EXPECT_EQ(line.text(), "hello wurld");
}

TEST_F(SpellCheckWidget, AddToDictionaryUnmarksTheWordEverywhereAndKeepsIt) {
    line.setText("Zorbin is hello");
    EXPECT_EQ(marked(), QStringList{"Zorbin"});
    std::unique_ptr<QMenu> menu(spellCheck.menuAt(&line, pointAt(2)));
    QAction* add = find(*menu, QString::fromUtf8("Add \u201CZorbin\u201D to Dictionary"));
    ASSERT_NE(add, nullptr);
    add->trigger();
    EXPECT_TRUE(marked().isEmpty());
    EXPECT_EQ(folder.read("corvane-words.txt"), "Zorbin\n");
}

TEST_F(SpellCheckWidget, PasswordsAndAWordSpeltRightGetOnlyTheEditMenu) {
    line.setText("hello wurld");
    std::unique_ptr<QMenu> right(spellCheck.menuAt(&line, pointAt(2)));
    EXPECT_TRUE(captions(*right).filter("Dictionary").isEmpty());
    line.setEchoMode(QLineEdit::Password);
    line.setText("wurld");
    EXPECT_TRUE(marked().isEmpty());
    std::unique_ptr<QMenu> masked(spellCheck.menuAt(&line, pointAt(2)));
    EXPECT_TRUE(captions(*masked).filter("Dictionary").isEmpty());
}

TEST_F(SpellCheckWidget, TurningItOffClearsTheMarks) {
    line.setText("wurld");
    EXPECT_EQ(marked(), QStringList{"wurld"});
    service.useDictionary("");
    EXPECT_TRUE(marked().isEmpty());
}

TEST_F(SpellCheckWidget, ADictionaryReadOnItsOwnThreadIsPutInUseWhenRead) {
    line.setText("wurld");
    service.setMainThread([](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    });
    service.useDictionary("");
    EXPECT_EQ(service.useDictionary("test_GB"), "");
    EXPECT_TRUE(marked().isEmpty());
    EXPECT_TRUE(waitUntil([&] { return marked() == QStringList{"wurld"}; }));
    // One asked for and then another: only the last counts.
    service.useDictionary("");
    EXPECT_TRUE(marked().isEmpty());
    service.useDictionary("test_GB");
    service.useDictionary("");
    pumpEvents(200);
    EXPECT_TRUE(marked().isEmpty());
}

TEST_F(SpellCheckWidget, ADictionaryIsNotReadUntilThePlayerTypes) {
    SpellService fresh({std::string(CORVANE_TEST_DATA) + "/spell"}, folder.file("other-words.txt"), "en_GB");
    fresh.setMainThread([](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    });
    QtSpellCheck check(fresh);
    QLineEdit input;
    check.attach(&input);
    EXPECT_EQ(fresh.useDictionary("test_GB"), "");
    pumpEvents(200);
    EXPECT_FALSE(fresh.checker().enabled());
    input.setText("wurld");
    EXPECT_TRUE(waitUntil([&] { return fresh.checker().enabled(); }));
}

TEST_F(SpellCheckWidget, TheMainInputLineIsCheckedAndStillTypesIntoTheWindow) {
    QtMainWindow window;
    spellCheck.attach(window.inputLine());
    window.show();
    QTest::keyClicks(window.inputLine(), "teh cat");
    EXPECT_EQ(window.inputText(), "teh cat");
    EXPECT_EQ(window.inputLine()->findChild<QtSpellUnderline*>()->markedWords(), QStringList{"teh"});
}

// The formats the highlighter gave a line of an editor.
QStringList underlined(QPlainTextEdit* editor, int blockNumber) {
    const QTextBlock block = editor->document()->findBlockByNumber(blockNumber);
    QStringList words;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (range.format.underlineStyle() == QTextCharFormat::WaveUnderline) {
            words.append(block.text().mid(range.start, range.length));
        }
    }
    return words;
}

TEST_F(SpellCheckWidget, AnMcpEditorChecksProseButNotPrograms) {
    QtMcpEditorView prose(nullptr, &spellCheck);
    prose.setProse(true);
    prose.setText("hello wurld\nthe cat szt");
    EXPECT_EQ(underlined(prose.editor(), 0), QStringList{"wurld"});
    EXPECT_EQ(underlined(prose.editor(), 1), QStringList{"szt"});

    QtMcpEditorView program(nullptr, &spellCheck);
    program.setProse(false);
    program.setText(": main me @ \"wurld\" notify ;");
    EXPECT_TRUE(underlined(program.editor(), 0).isEmpty());
}

} // namespace
} // namespace corvane::testing
