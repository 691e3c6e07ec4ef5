#include "qt/qt_spell_check.h"

#include "qt/qt_spell_highlighter.h"
#include "qt/qt_spell_spans.h"
#include "qt/qt_spell_underline.h"
#include "qt/qt_text.h"
#include "spell/spell_service.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace corvane {

QtSpellCheck::QtSpellCheck(SpellService& service, QObject* parent)
    : QObject(parent)
    , m_service(service) {
    m_service.setChangedHook([this] { refresh(); });
}

QtSpellCheck::~QtSpellCheck() {
    m_service.setChangedHook({});
    // What was attached may outlive this; it must stop asking the checker.
    for (const QPointer<QtSpellUnderline>& underline : m_underlines) {
        delete underline.data();
    }
    for (const QPointer<QtSpellHighlighter>& highlighter : m_highlighters) {
        delete highlighter.data();
    }
    for (const QPointer<QLineEdit>& line : m_lines) {
        if (line != nullptr) {
            line->removeEventFilter(this);
        }
    }
    for (const QPointer<QPlainTextEdit>& editor : m_editors) {
        if (editor != nullptr) {
            editor->viewport()->removeEventFilter(this);
        }
    }
}

void QtSpellCheck::attach(QLineEdit* line) {
    m_lines.append(line);
    m_underlines.append(new QtSpellUnderline(line, m_service.checker()));
    line->installEventFilter(this);
    connect(line, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            m_service.inputUsed();
        }
    });
}

void QtSpellCheck::attach(QPlainTextEdit* editor) {
    m_editors.append(editor);
    m_highlighters.append(new QtSpellHighlighter(editor->document(), m_service.checker()));
    editor->viewport()->installEventFilter(this);
    connect(editor, &QPlainTextEdit::textChanged, this, [this] { m_service.inputUsed(); });
}

void QtSpellCheck::refresh() {
    for (const QPointer<QtSpellUnderline>& underline : m_underlines) {
        if (underline != nullptr) {
            underline->recheck();
        }
    }
    for (const QPointer<QtSpellHighlighter>& highlighter : m_highlighters) {
        if (highlighter != nullptr) {
            highlighter->rehighlight();
        }
    }
}

bool QtSpellCheck::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ContextMenu || !m_service.checker().enabled()) {
        return QObject::eventFilter(watched, event);
    }
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    QMenu* menu = nullptr;
    if (auto* line = qobject_cast<QLineEdit*>(watched)) {
        menu = menuAt(line, menuEvent->pos());
    } else if (auto* editor = qobject_cast<QPlainTextEdit*>(watched->parent())) {
        menu = menuAt(editor, menuEvent->pos());
    }
    if (menu == nullptr) {
        return QObject::eventFilter(watched, event);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(menuEvent->globalPos());
    return true;
}

QMenu* QtSpellCheck::menuAt(QLineEdit* line, const QPoint& position) {
    QMenu* menu = line->createStandardContextMenu();
    if (line->echoMode() != QLineEdit::Normal) {
        return menu;
    }
    const QString text = line->text();
    const std::string utf8 = fromQt(text);
    const auto span = m_service.checker().misspeltAt(utf8, utf8Offset(text, line->cursorPositionAt(position)));
    if (!span) {
        return menu;
    }
    const QtSpellRange range = toQtRanges(utf8, {*span}).front();
    QPointer<QLineEdit> target = line;
    addSpellingEntries(menu, line, text.mid(range.start, range.length),
                       [target, range, text](const QString& replacement) {
                           // Only into the text the menu was made for; one undo step.
                           if (target == nullptr || target->text() != text) {
                               return;
                           }
                           target->setSelection(range.start, range.length);
                           target->insert(replacement);
                       });
    return menu;
}

QMenu* QtSpellCheck::menuAt(QPlainTextEdit* editor, const QPoint& position) {
    QMenu* menu = editor->createStandardContextMenu(editor->viewport()->mapToGlobal(position));
    const QTextCursor at = editor->cursorForPosition(position);
    const QTextBlock block = at.block();
    const QString text = block.text();
    const std::string utf8 = fromQt(text);
    const auto span = m_service.checker().misspeltAt(utf8, utf8Offset(text, at.positionInBlock()));
    if (!span) {
        return menu;
    }
    const QtSpellRange range = toQtRanges(utf8, {*span}).front();
    QPointer<QPlainTextEdit> target = editor;
    const int blockStart = block.position();
    addSpellingEntries(menu, editor, text.mid(range.start, range.length),
                       [target, range, blockStart, text](const QString& replacement) {
                           if (target == nullptr) {
                               return;
                           }
                           QTextCursor cursor(target->document());
                           cursor.setPosition(blockStart + range.start);
                           cursor.setPosition(blockStart + range.start + range.length, QTextCursor::KeepAnchor);
                           if (cursor.selectedText() == text.mid(range.start, range.length)) {
                               cursor.insertText(replacement);
                           }
                       });
    return menu;
}

void QtSpellCheck::addSpellingEntries(QMenu* menu, QWidget* field, const QString& word,
                                      const std::function<void(const QString&)>& replace) {
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    const std::vector<std::string> suggestions = m_service.checker().suggestions(fromQt(word));
    for (const std::string& suggestion : suggestions) {
        const QString replacement = toQt(suggestion);
        QAction* action = new QAction(replacement, menu);
        action->setObjectName("spellSuggestion");
        connect(action, &QAction::triggered, menu, [replace, replacement] { replace(replacement); });
        menu->insertAction(first, action);
    }
    if (suggestions.empty()) {
        QAction* none = new QAction(tr("No suggestions"), menu);
        none->setEnabled(false);
        menu->insertAction(first, none);
    }
    QAction* add = new QAction(tr("Add \u201C%1\u201D to Dictionary").arg(word), menu);
    add->setObjectName("spellAddWord");
    QPointer<QWidget> parent = field;
    connect(add, &QAction::triggered, this, [this, parent, word] { addWord(parent, word); });
    menu->insertAction(first, add);
    menu->insertSeparator(first);
}

void QtSpellCheck::addWord(QWidget* field, const QString& word) {
    std::string reason;
    if (m_service.addWord(fromQt(word), reason)) {
        return;
    }
    QMessageBox box(QMessageBox::Warning, tr("Corvane Error"),
                    tr("\u201C%1\u201D could not be added to your word list.\n\n%2").arg(word, toQt(reason)),
                    QMessageBox::Ok, field != nullptr ? field->window() : nullptr);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace corvane
