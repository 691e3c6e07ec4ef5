#pragma once

#include <QColor>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <vector>

namespace corvane::testing {

// One run of text with one character format, as the output box holds it.
struct TextRun {
    QString text;
    QTextCharFormat format;

    QColor colour() const { return format.foreground().color(); }
    bool bold() const { return format.fontWeight() >= QFont::Bold; }
};

// The runs of one block, in order.
inline std::vector<TextRun> blockRuns(const QTextBlock& block) {
    std::vector<TextRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid()) {
            runs.push_back({fragment.text(), fragment.charFormat()});
        }
    }
    return runs;
}

// The runs of the first block whose text contains `needle`.
inline std::vector<TextRun> runsOfLine(const QTextDocument& document, const QString& needle) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text().contains(needle)) {
            return blockRuns(block);
        }
    }
    return {};
}

} // namespace corvane::testing
