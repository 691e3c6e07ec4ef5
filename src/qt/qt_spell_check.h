#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPoint;
class QWidget;

namespace corvane {

class SpellService;
class QtSpellHighlighter;
class QtSpellUnderline;

// Spell check for the text fields the player types in: misspelt words are
// underlined as they are typed, and a right-click on one offers up to six
// suggestions and "Add to Dictionary" above the field's usual edit menu.
// Any QLineEdit or QPlainTextEdit can be attached (the main input line, an
// MCP editor, a conversation window's input); with checking off they look
// and behave as before.
class QtSpellCheck : public QObject {
    Q_OBJECT
public:
    explicit QtSpellCheck(SpellService& service, QObject* parent = nullptr);
    ~QtSpellCheck() override;

    void attach(QLineEdit* line);
    void attach(QPlainTextEdit* editor);
    // The dictionary or the word list changed: every attached field is checked again.
    void refresh();

    // The right-click menu at a point of an attached field (in the field's
    // own, or for an editor its viewport's, coordinates). The caller owns it.
    QMenu* menuAt(QLineEdit* line, const QPoint& position);
    QMenu* menuAt(QPlainTextEdit* editor, const QPoint& position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts the spelling entries above the first entry of menu.
    void addSpellingEntries(QMenu* menu, QWidget* field, const QString& word,
                            const std::function<void(const QString&)>& replace);
    void addWord(QWidget* field, const QString& word);

    SpellService& m_service;
    QList<QPointer<QLineEdit>> m_lines;
    QList<QPointer<QtSpellUnderline>> m_underlines;
    QList<QPointer<QPlainTextEdit>> m_editors;
    QList<QPointer<QtSpellHighlighter>> m_highlighters;
};

} // namespace corvane
