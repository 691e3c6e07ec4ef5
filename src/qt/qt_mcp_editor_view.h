#pragma once

#include "qt/qt_presenter_close.h"

#include "mcp/mcp_editor_view.h"

#include <QPlainTextEdit>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class QtSpellCheck;

// A plain-text editor that draws line numbers in a margin on its left.
class QtNumberedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit QtNumberedTextEdit(QWidget* parent);
    int marginWidth() const;
    void paintMargin(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onBlockCountChanged();
    void onUpdateRequest(const QRect& rect, int dy);

    QWidget* m_margin;
};

// The MCP editor window: the world's text in a monospace editor with line
// numbers, undo and find, or in one line for a string or a number. It is a
// plain window, not a dialog, so Escape has nothing to cancel.
class QtMcpEditorView : public QWidget, public McpEditorView {
    Q_OBJECT
public:
    // With a spell check, prose is checked as it is typed.
    explicit QtMcpEditorView(QWidget* mainWindow, QtSpellCheck* spellCheck = nullptr);

    void setEvents(McpEditorEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void setSingleLine(bool singleLine) override;
    void setSendCaption(const std::string& caption) override;
    void setProse(bool prose) override;
    void setOwnEditor(OwnEditor state) override;
    void setText(const std::string& text) override;
    std::string text() const override;
    void setStatus(const std::string& status) override;
    void setAnswer(const std::string& lines) override;
    void showWindow() override;
    void closeWindow() override;

    QtNumberedTextEdit* editor() const { return m_text; }
    QLineEdit* line() const { return m_line; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* closeButton() const { return m_close; }
    QPushButton* ownEditorButton() const { return m_own; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void findNext();

    McpEditorEvents* m_events = nullptr;
    QtNumberedTextEdit* m_text;
    QLineEdit* m_line;
    QLineEdit* m_find;
    QPushButton* m_send;
    QPushButton* m_own;
    QPushButton* m_close;
    QLabel* m_status;
    // The world's answer to the last send; plain text, never the world's markup.
    QPlainTextEdit* m_answer;
    QtPresenterClose m_presenterClose;
    QtSpellCheck* m_spellCheck;
    bool m_spellAttached = false;
};

} // namespace corvane
