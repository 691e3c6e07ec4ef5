#pragma once

#include "shell/session_history_view.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class QtHistoryText;

// The "Session History" window: the kept lines above a find bar.
class QtSessionHistoryView : public QWidget, public SessionHistoryView {
    Q_OBJECT
public:
    explicit QtSessionHistoryView(QWidget* mainWindow);

    void setEvents(SessionHistoryEvents* events) override { m_events = events; }
    void setHistory(const SessionHistory& history) override;
    void showAtNewest() override;
    void linesChanged() override;
    void showMatch(const HistoryMatch& match) override;
    void setHighlight(const std::string& query, bool matchCase) override;
    void setFindStatus(const std::string& text) override;
    std::string findText() const override;
    bool matchCase() const override;
    bool highlightAll() const override;
    std::uint64_t firstVisibleLine() const override;
    std::uint64_t lastVisibleLine() const override;
    std::optional<Range> selection() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findChanged();

    SessionHistoryEvents* m_events = nullptr;
    QWidget* m_mainWindow;
    QtHistoryText* m_text;
    QLineEdit* m_find;
    QPushButton* m_next;
    QPushButton* m_previous;
    QCheckBox* m_matchCase;
    QCheckBox* m_highlightAll;
    QLabel* m_status;
};

} // namespace corvane
