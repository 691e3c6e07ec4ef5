#pragma once

#include "core/player_list_view.h"

#include <array>
#include <string>
#include <vector>

namespace corvane::testing {

// The player-list window as the capture fills it.
class FakePlayerList : public PlayerListView {
public:
    void setEvents(PlayerListEvents* e) override { events = e; }
    void clearLists() override {
        for (auto& list : lists) {
            list.clear();
        }
    }
    void addPlayer(PlayerKind kind, const std::string& name) override {
        lists[static_cast<std::size_t>(kind)].push_back(name);
    }
    int playerCount(PlayerKind kind) const override {
        return static_cast<int>(lists[static_cast<std::size_t>(kind)].size());
    }
    void setCaption(const std::string& text) override { caption = text; }
    void setSummary(const std::string& text) override { summary = text; }
    void setListEnabled(PlayerKind kind, bool enabled) override { listEnabled[static_cast<std::size_t>(kind)] = enabled; }
    void setListLabelColour(PlayerKind kind, Rgb colour) override { labelColour[static_cast<std::size_t>(kind)] = colour; }
    void setPlayerButtonsEnabled(bool enabled) override { buttonsEnabled = enabled; }
    void setCommandLabelVisible(bool show) override { commandLabelVisible = show; }
    void setPlayerButtonCaption(int index, const std::string& text) override {
        buttonCaptions[static_cast<std::size_t>(index)] = text;
    }
    void setCommandText(const std::string& text) override { commandText = text; }
    void clearSelection(PlayerKind kind) override { selectionCleared.push_back(kind); }
    void showWindow() override {
        ++shown;
        visible = true;
    }
    void hideWindow() override { visible = false; }

    const std::vector<std::string>& list(PlayerKind kind) const { return lists[static_cast<std::size_t>(kind)]; }

    PlayerListEvents* events = nullptr;
    std::array<std::vector<std::string>, 4> lists;
    std::array<bool, 4> listEnabled{true, true, true, true};
    std::array<Rgb, 4> labelColour{};
    std::string caption;
    std::string summary;
    bool buttonsEnabled = true;
    bool commandLabelVisible = true;
    int shown = 0;
    bool visible = false;
    std::array<std::string, kPlayerButtons> buttonCaptions{"&Look", "&Where", "Lasto&n", "Who&Sp", "&Pinfo"};
    std::string commandText = "COMMAND";
    std::vector<PlayerKind> selectionCleared;
};

} // namespace corvane::testing
