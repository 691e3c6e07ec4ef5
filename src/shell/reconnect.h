#pragma once

#include <string>

namespace corvane {

class MainMenu;

// Remembers the world and character of this run's last session, so that one
// key brings a dropped player back. Nothing here reconnects on its own: a
// world that has just thrown the player out must not be hammered.
class Reconnect {
public:
    explicit Reconnect(MainMenu& menu);

    // A connection to a stored world has started. Another world forgets the
    // character, which belongs to the world it logged in to.
    void connected(const std::string& worldName);
    void loggedIn(const std::string& characterName);
    // The session is over: Game > Reconnect can bring it back.
    void sessionEnded();

    bool available() const { return !m_world.empty(); }
    const std::string& world() const { return m_world; }
    // Empty when nobody logged in through Corvane (the player typed the
    // log-in): reconnecting then only connects.
    const std::string& character() const { return m_character; }

private:
    MainMenu& m_menu;
    std::string m_world;
    std::string m_character;
};

} // namespace corvane
