#pragma once

#include "spell/word_span.h"

#include <QList>
#include <QString>
#include <string>
#include <vector>

namespace corvane {

// A misspelt word in a QString: where it starts and how long it is, in UTF-16 units.
struct QtSpellRange {
    int start = 0;
    int length = 0;
};

// Byte spans of UTF-8 text as ranges of the same text in a QString.
QList<QtSpellRange> toQtRanges(const std::string& utf8, const std::vector<WordSpan>& spans);
// The byte offset in the UTF-8 form of text of a QString position.
std::size_t utf8Offset(const QString& text, int position);

} // namespace corvane
