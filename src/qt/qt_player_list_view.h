#pragma once

#include "core/player_list_view.h"

#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace corvane {

// The "Player List" window (Form4): who is awake, asleep, idle or a puppet,
// with the buttons that act on a picked name.
class QtPlayerListView : public QWidget, public PlayerListView {
    Q_OBJECT
public:
    static constexpr std::size_t kListCount = 4;
    static constexpr std::size_t kButtonCount = 6;
    static constexpr std::size_t kDoneButton = 5;

    explicit QtPlayerListView(QWidget* parent = nullptr);

    void setEvents(PlayerListEvents* events) override { m_events = events; }
    void clearLists() override;
    void addPlayer(PlayerKind kind, const std::string& name) override;
    int playerCount(PlayerKind kind) const override;
    void setCaption(const std::string& caption) override;
    void setSummary(const std::string& summary) override;
    void setListEnabled(PlayerKind kind, bool enabled) override;
    void setListLabelColour(PlayerKind kind, Rgb colour) override;
    void setPlayerButtonsEnabled(bool enabled) override;
    void setPlayerButtonCaption(int index, const std::string& caption) override;
    void setCommandLabelVisible(bool visible) override;
    void setCommandText(const std::string& text) override;
    void clearSelection(PlayerKind kind) override;
    void showWindow() override;
    void hideWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The list a widget is, or nothing.
    std::optional<PlayerKind> kindOf(const QObject* list) const;

    PlayerListEvents* m_events = nullptr;
    std::array<QListWidget*, kListCount> m_lists{};
    std::array<QLabel*, kListCount> m_listLabels{};
    std::array<QPushButton*, kButtonCount> m_buttons{};
    QLabel* m_summary = nullptr;
    QLabel* m_command = nullptr;
};

} // namespace corvane
