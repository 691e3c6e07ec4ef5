#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>

namespace corvane {

// Finds the next match after the cursor, going round to the top once, so a
// player searching a long text never has to move the cursor back by hand.
inline bool FindWrappingRound(QPlainTextEdit* text, const QString& wanted) {
    if (text->find(wanted)) {
        return true;
    }
    QTextCursor start = text->textCursor();
    start.movePosition(QTextCursor::Start);
    text->setTextCursor(start);
    return text->find(wanted);
}

} // namespace corvane
