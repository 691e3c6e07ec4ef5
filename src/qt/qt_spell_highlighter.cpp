#include "qt/qt_spell_highlighter.h"

#include "qt/qt_spell_spans.h"
#include "qt/qt_text.h"
#include "spell/spell_checker.h"

namespace corvane {

QtSpellHighlighter::QtSpellHighlighter(QTextDocument* document, SpellChecker& checker)
    : QSyntaxHighlighter(document)
    , m_checker(checker) {}

void QtSpellHighlighter::highlightBlock(const QString& text) {
    if (!m_checker.enabled()) {
        return;
    }
    QTextCharFormat misspelt;
    misspelt.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    misspelt.setUnderlineColor(QColor(0xE0, 0x1B, 0x24));
    const std::string utf8 = fromQt(text);
    for (const QtSpellRange& range : toQtRanges(utf8, m_checker.misspelt(utf8))) {
        setFormat(range.start, range.length, misspelt);
    }
}

} // namespace corvane
