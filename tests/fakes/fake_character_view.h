#pragma once

#include "worlds/character_view.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane::testing {

// The character dialog in memory. While "shown" it runs the script the test
// gave it; the test plays the user with pick, type... and click....
class FakeCharacterView : public CharacterView {
public:
    void setEvents(CharacterEvents* e) override { events = e; }
    void setTitle(const std::string& text) override { title = text; }
    void setCharacterNames(const std::vector<std::string>& names) override {
        characterNames = names;
        selected = -1;
    }
    void selectCharacter(int index) override { selected = index; }
    void showNewNameBox(bool shown) override { newNameBoxShown = shown; }
    std::string newName() const override { return newNameText; }
    std::string password() const override { return passwordText; }
    void setPassword(const std::string& text) override { passwordText = text; }
    void setListButtonsEnabled(bool enabled) override { listButtonsEnabled = enabled; }
    void runModal() override {
        open = true;
        ++timesShown;
        if (whileShown) {
            whileShown(*this);
        }
        open = false;
    }
    void hideDialog() override { hidden = true; }
    void closeDialog() override { open = false; }

    // The user's side.
    void pick(int index) {
        selected = index;
        events->onCharacterPicked(index);
    }
    void typeNewName(const std::string& text) { newNameText = text; }
    void typePassword(const std::string& text) {
        passwordText = text;
        events->onPasswordEdited();
    }
    void clickNew() { events->onNew(); }
    void clickDelete() { events->onDelete(); }
    void clickOk() { events->onOk(); }
    void clickCancel() { events->onCancel(); }

    std::string selectedName() const {
        return selected >= 0 && selected < static_cast<int>(characterNames.size())
                   ? characterNames[static_cast<std::size_t>(selected)]
                   : std::string();
    }

    CharacterEvents* events = nullptr;
    std::string title;
    std::vector<std::string> characterNames;
    int selected = -1;
    bool newNameBoxShown = false;
    std::string newNameText;
    std::string passwordText;
    bool listButtonsEnabled = true;
    bool open = false;
    bool hidden = false;
    int timesShown = 0;
    std::function<void(FakeCharacterView&)> whileShown;
};

} // namespace corvane::testing
