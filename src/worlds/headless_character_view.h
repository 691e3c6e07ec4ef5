#pragma once

#include "worlds/character_view.h"

namespace corvane {

// The character dialog without widgets: it only holds what the presenter
// puts into it, so a start-up option can drive the same login rules.
class HeadlessCharacterView : public CharacterView {
public:
    // Nobody uses it, so there is nothing to report.
    void setEvents(CharacterEvents* /*events*/) override {}
    void setTitle(const std::string& title) override { m_title = title; }
    const std::string& title() const { return m_title; }

    void setCharacterNames(const std::vector<std::string>& names) override {
        m_names = names;
        m_selected = -1;
    }
    const std::vector<std::string>& characterNames() const { return m_names; }
    void selectCharacter(int index) override { m_selected = index; }
    int selectedCharacter() const { return m_selected; }

    void showNewNameBox(bool shown) override { m_newNameBoxShown = shown; }
    bool newNameBoxShown() const { return m_newNameBoxShown; }
    std::string newName() const override { return m_newName; }
    void setNewName(const std::string& name) { m_newName = name; }

    std::string password() const override { return m_password; }
    void setPassword(const std::string& password) override { m_password = password; }

    void setListButtonsEnabled(bool enabled) override { m_listButtonsEnabled = enabled; }
    bool listButtonsEnabled() const { return m_listButtonsEnabled; }

    void runModal() override {}
    void hideDialog() override { m_hidden = true; }
    bool hidden() const { return m_hidden; }
    void closeDialog() override { m_closed = true; }
    bool closed() const { return m_closed; }

private:
    std::string m_title;
    std::vector<std::string> m_names;
    int m_selected = -1;
    bool m_newNameBoxShown = false;
    std::string m_newName;
    std::string m_password;
    bool m_listButtonsEnabled = true;
    bool m_hidden = false;
    bool m_closed = false;
};

} // namespace corvane
