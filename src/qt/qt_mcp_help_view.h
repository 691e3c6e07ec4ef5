#pragma once

#include "mcp/mcp_help_view.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace corvane {

// The MUCK help window: topic, kind and "Look Up" on top, the entry below in
// a read-only monospace box with a find field (Ctrl+F, Enter for the next).
class QtMcpHelpView : public QWidget, public McpHelpView {
    Q_OBJECT
public:
    explicit QtMcpHelpView(QWidget* mainWindow);

    void setEvents(McpHelpEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void setKinds(const std::vector<std::string>& kinds) override;
    std::string topic() const override;
    std::string kind() const override;
    void setTopic(const std::string& topic) override;
    void setLookUpEnabled(bool enabled) override;
    void setEntry(const std::string& heading, const std::string& text) override;
    void setStatus(const std::string& status) override;
    void showWindow(bool takeKeyboard) override;

    QLineEdit* topicField() const { return m_topic; }
    QComboBox* kindBox() const { return m_kind; }
    QPushButton* lookUpButton() const { return m_lookUp; }
    QPlainTextEdit* entryText() const { return m_text; }
    QLineEdit* findField() const { return m_find; }
    QLabel* statusLabel() const { return m_status; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void findNext();

    McpHelpEvents* m_events = nullptr;
    QLineEdit* m_topic;
    QComboBox* m_kind;
    QPushButton* m_lookUp;
    QLabel* m_heading;
    QPlainTextEdit* m_text;
    QLineEdit* m_find;
    QPushButton* m_findNext;
    QLabel* m_status;
};

} // namespace corvane
