#include "qt/qt_spell_spans.h"

namespace corvane {

namespace {

// UTF-16 units of the character whose UTF-8 form starts with this byte:
// two for the four-byte forms (outside the Basic Multilingual Plane).
int unitsOf(unsigned char lead) {
    if ((lead & 0xC0) == 0x80) {
        return 0;
    }
    return lead >= 0xF0 ? 2 : 1;
}

} // namespace

QList<QtSpellRange> toQtRanges(const std::string& utf8, const std::vector<WordSpan>& spans) {
    QList<QtSpellRange> ranges;
    std::size_t byte = 0;
    int unit = 0;
    const auto advanceTo = [&](std::size_t target) {
        for (; byte < target && byte < utf8.size(); ++byte) {
            unit += unitsOf(static_cast<unsigned char>(utf8[byte]));
        }
        return unit;
    };
    // Spans come in order, so one walk over the text serves them all.
    for (const WordSpan& span : spans) {
        const int start = advanceTo(span.start);
        const int end = advanceTo(span.end());
        ranges.append({start, end - start});
    }
    return ranges;
}

std::size_t utf8Offset(const QString& text, int position) {
    return static_cast<std::size_t>(text.left(position).toUtf8().size());
}

} // namespace corvane
