#include "shell/reconnect.h"

#include "core/main_menu.h"

namespace corvane {

Reconnect::Reconnect(MainMenu& menu)
    : m_menu(menu) {
    m_menu.setEnabled(MenuItem::GameReconnect, false);
}

void Reconnect::connected(const std::string& worldName) {
    if (worldName != m_world) {
        m_character.clear();
    }
    m_world = worldName;
    m_menu.setEnabled(MenuItem::GameReconnect, false);
}

void Reconnect::loggedIn(const std::string& characterName) {
    if (!characterName.empty()) {
        m_character = characterName;
    }
}

void Reconnect::sessionEnded() {
    m_menu.setEnabled(MenuItem::GameReconnect, available());
}

} // namespace corvane
