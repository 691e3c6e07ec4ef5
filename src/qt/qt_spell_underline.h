#pragma once

#include "qt/qt_spell_spans.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QTextLayout;

namespace corvane {

class SpellChecker;

// Draws a wavy red line under the misspelt words of a QLineEdit. It lies
// over the line as a child that takes no mouse or keyboard, so the line
// keeps every behaviour it has (history, completion, macros, masking).
class QtSpellUnderline : public QWidget {
    Q_OBJECT
public:
    QtSpellUnderline(QLineEdit* line, SpellChecker& checker);
    ~QtSpellUnderline() override;

    // The text or the checker's answers changed.
    void recheck();
    // The words now marked, for tests.
    QStringList markedWords() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();

    QLineEdit* m_line;
    SpellChecker& m_checker;
    QString m_text;
    QList<QtSpellRange> m_marked;
    std::unique_ptr<QTextLayout> m_layout;
};

// A wavy line from x1 to x2 at y, the look of a misspelt word everywhere.
void DrawSpellWave(class QPainter& painter, qreal x1, qreal x2, qreal y);

} // namespace corvane
