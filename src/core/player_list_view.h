#pragma once

#include "core/rgb.h"

#include <array>
#include <string>

namespace corvane {

enum class PlayerKind { Awake, Asleep, Idle, Puppet };

inline constexpr int kPlayerButtons = 5;
// The five player buttons' captions as the window is designed.
inline constexpr std::array<const char*, kPlayerButtons> kDefaultPlayerCaptions = {
    "&Look", "&Where", "Lasto&n", "Who&Sp", "&Pinfo"};

// What the user does in the player list.
class PlayerListEvents {
public:
    virtual ~PlayerListEvents() = default;
    // An entry was clicked, or reached with the arrow keys.
    virtual void onEntryPicked(PlayerKind list, const std::string& entry) = 0;
    // An entry was double-clicked, or Enter was pressed on it.
    virtual void onEntryActivated(PlayerKind list, const std::string& entry) = 0;
    virtual void onListFocused(PlayerKind list) = 0;
    // One of the five player buttons, 0 to 4.
    virtual void onPlayerButton(int index) = 0;
    // "&Done".
    virtual void onDone() = 0;
    // The window's own close control.
    virtual void onClosed() = 0;
};

// The "Player List" window (Form4): four lists with their labels, a summary,
// the command label and the five player buttons.
class PlayerListView {
public:
    virtual ~PlayerListView() = default;
    virtual void setEvents(PlayerListEvents* events) = 0;
    virtual void clearLists() = 0;
    virtual void addPlayer(PlayerKind kind, const std::string& name) = 0;
    virtual int playerCount(PlayerKind kind) const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setSummary(const std::string& summary) = 0;
    virtual void setListEnabled(PlayerKind kind, bool enabled) = 0;
    virtual void setListLabelColour(PlayerKind kind, Rgb colour) = 0;
    virtual void setPlayerButtonsEnabled(bool enabled) = 0;
    virtual void setPlayerButtonCaption(int index, const std::string& caption) = 0;
    virtual void setCommandLabelVisible(bool visible) = 0;
    virtual void setCommandText(const std::string& text) = 0;
    // Removes the highlight from the list's entry.
    virtual void clearSelection(PlayerKind kind) = 0;
    // Modeless: returns at once.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};

} // namespace corvane
