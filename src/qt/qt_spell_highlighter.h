#pragma once

#include <QSyntaxHighlighter>

namespace corvane {

class SpellChecker;

// Marks the misspelt words of a many-line editor with a wavy red underline,
// one block (line) at a time as it is typed.
class QtSpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    QtSpellHighlighter(QTextDocument* document, SpellChecker& checker);

protected:
    void highlightBlock(const QString& text) override;

private:
    SpellChecker& m_checker;
};

} // namespace corvane
