#pragma once

#include "core/output_view.h"
#include "qt/qt_output_format.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>

class QLabel;

namespace corvane {

// The output box (Text2): read-only rich text that shows the server's lines
// with their colours. Every change arrives as a batch from the rules, and a
// batch is one edit of the document: the lines are laid out once, after it,
// and only those that can be seen.
class QtScrollbackPane;

class QtOutputBox : public QPlainTextEdit, public OutputView {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> focusIn;
        std::function<void()> focusOut;
        std::function<void()> doubleClick;
        // A key that types (a character, Enter, Backspace) pressed here: it
        // belongs to the input line.
        std::function<void(QKeyEvent*)> typed;
        // Escape with no scrollback pane to close: the pause is to end.
        std::function<void()> escape;
        // Text became selected, or the selection went.
        std::function<void(bool selected)> selectionChanged;
        // A plain click on an MXP link: its number.
        std::function<void(std::uint32_t link)> linkClicked = {};
    };

    explicit QtOutputBox(QWidget* parent = nullptr);
    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }
    // The display font and colours: text without a colour of its own uses them.
    void setDisplayLook(const QFont& font, const QColor& text, const QColor& background);
    OutputLook displayLook() const;

    void trimFront(int lines, int characters) override;
    void clearText() override;
    void appendText(std::string_view utf8, const std::vector<OutputSpan>& spans,
                    const std::vector<TriggerLook>& looks) override;
    void appendLineBreak() override;
    // Whole lines in the plain look, already joined by QChar::ParagraphSeparator:
    // one insertion for a run of lines that carry no colours.
    void appendPlainLines(const QString& lines);
    void endUpdate() override;
    bool wantsRebuild() const override { return m_rebuild; }
    void repaint() override;
    void setScrollback(const SessionHistory* history) override;
    void setLinks(const MxpLinks* links) override;
    // Keys from the input line: PageUp opens the pane; PageDown and Escape
    // act on it while it is open. False when the key is not the pane's.
    bool scrollbackKey(int key);
    void openScrollback(int rowsUp);
    void closeScrollback();
    QtScrollbackPane* scrollback() const { return m_pane; }
    int outputWidth() const override;
    int characterWidth(char32_t character) const override;
    int visibleRows() const override;
    bool hasSelection() const override;
    std::string selectedText() const override;
    void collapseSelection() override;
    void selectAll() override;
    void focusOutput() override;
    void setPauseBar(const std::string& text) override;
    QLabel* pauseBar() const { return m_pauseBar; }
    std::string caretLine(int& caretOffset) const override;
    int chooseFromMenu(const std::vector<std::string>& captions) override;
    // The MXP link under a point of the viewport, or 0.
    std::uint32_t linkAt(const QPoint& point) const;

signals:
    // The display font or colours changed (windows showing the same lines follow).
    void displayLookChanged();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    QTextCharFormat formatFor(const OutputSpan* span, const std::vector<TriggerLook>& looks) const;
    // The cursor of the batch under way; the first change of a batch opens its edit.
    QTextCursor& batchCursor();
    void toEnd(QTextCursor& cursor) const;
    void countRun();
    void placeScrollback();
    void placePauseBar();

    Handlers m_handlers;
    QTextCharFormat m_plain;
    QColor m_text;
    QColor m_background;
    int m_clickedPosition = -1;
    // Where the left button went down, and whether that press was a double-click's second.
    QPoint m_pressPoint;
    bool m_doubleClickPress = false;
    QTextCursor m_batch;
    bool m_inBatch = false;
    // The document keeps every character format it was ever given until it
    // is cleared; a server that colours each line anew would grow it without
    // end. Runs are counted so the formats are looked at now and then.
    int m_runsSinceCheck = 0;
    bool m_rebuild = false;
    const SessionHistory* m_scrollHistory = nullptr;
    const MxpLinks* m_links = nullptr;
    QtScrollbackPane* m_pane = nullptr;
    QLabel* m_pauseBar = nullptr;
};

} // namespace corvane
