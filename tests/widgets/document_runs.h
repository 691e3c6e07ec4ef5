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
    int block = 0;
    QString text;
    QTextCharFormat format;

    QColor colour() const { return format.foreground().color(); }
    bool bold() const { return format.fontWeight() >= QFont::Bold; }
};

// Every run of the document, block by block, in order.
inline std::vector<TextRun> documentRuns(const QTextDocument& document) {
    std::vector<TextRun> runs;
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid()) {
                runs.push_back({index, fragment.text(), fragment.charFormat()});
            }
        }
    }
    return runs;
}

// The runs of the first block whose text contains `needle`.
inline std::vector<TextRun> runsOfLine(const QTextDocument& document, const QString& needle) {
    std::vector<TextRun> runs;
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        if (!block.text().contains(needle)) {
            continue;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().isValid()) {
                runs.push_back({index, it.fragment().text(), it.fragment().charFormat()});
            }
        }
        break;
    }
    return runs;
}

} // namespace corvane::testing
