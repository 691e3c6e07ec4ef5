#pragma once

#include "core/rgb.h"

#include <string>

namespace corvane {

enum class PlayerKind { Awake, Asleep, Idle, Puppet };

// The "Player List" window (Form4): four lists with their labels, a summary,
// the command label and the five player buttons.
class PlayerListView {
public:
    virtual ~PlayerListView() = default;
    virtual void clearLists() = 0;
    virtual void addPlayer(PlayerKind kind, const std::string& name) = 0;
    virtual int playerCount(PlayerKind kind) const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setSummary(const std::string& summary) = 0;
    virtual void setListEnabled(PlayerKind kind, bool enabled) = 0;
    virtual void setListLabelColour(PlayerKind kind, Rgb colour) = 0;
    virtual void setPlayerButtonsEnabled(bool enabled) = 0;
    virtual void setCommandLabelVisible(bool visible) = 0;
    // Modeless: returns at once.
    virtual void showWindow() = 0;
};

} // namespace corvane
