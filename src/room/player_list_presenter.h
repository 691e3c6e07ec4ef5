#pragma once

#include "core/player_list_view.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

struct Session;
class CommandSender;
class LineClassifier;
class ViewFactory;

// The player list's own rules: which name is picked, and the five buttons
// that send a command with it. The listings themselves are filled in by the
// line classifier, which gets the window as soon as it is made.
class PlayerListPresenter : public PlayerListEvents {
public:
    PlayerListPresenter(Session& session, CommandSender& sender, LineClassifier& classifier,
                        ViewFactory& views, std::function<void()> focusInput);
    ~PlayerListPresenter() override;
    PlayerListPresenter(const PlayerListPresenter&) = delete;
    PlayerListPresenter& operator=(const PlayerListPresenter&) = delete;

    // Made on first use (a log-in, or WHO before one), kept for the run.
    PlayerListView& window();
    PlayerListView* existingWindow() { return m_view.get(); }
    // The log-in set-up: default captions and commands, then the world's
    // "Player 1" to "Player 5" keys.
    void SetUpPlayerButtons(const std::string& settingsPath);
    // The session has ended.
    void close();

    const std::string& SelectedPlayer() const { return m_selected; }
    const std::string& PlayerCommand(int index) const { return m_commands[static_cast<std::size_t>(index)]; }

    void onEntryPicked(PlayerKind list, const std::string& entry) override;
    void onEntryActivated(PlayerKind list, const std::string& entry) override;
    void onListFocused(PlayerKind list) override;
    void onPlayerButton(int index) override;
    void onDone() override;
    void onClosed() override;

private:
    Session& m_session;
    CommandSender& m_sender;
    LineClassifier& m_classifier;
    ViewFactory& m_views;
    std::function<void()> m_focusInput;
    std::unique_ptr<PlayerListView> m_view;
    std::array<std::string, kPlayerButtons> m_commands;
    std::string m_selected;
};

} // namespace corvane
