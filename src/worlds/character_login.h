#pragma once

#include <string>

namespace corvane {

struct Session;
class CommandSender;
class Prompts;
class Sound;
class ViewFactory;

// "&Connect to a Character": opens the character dialog of the current world
// and tells whether a character was logged in, so that the caller can set up
// the in-game state.
class CharacterLogin {
public:
    CharacterLogin(Session& session, CommandSender& sender, Prompts& prompts, Sound& sound,
                   ViewFactory& views, std::string settingsPath);

    // True when a character was logged in (CharacterName is set).
    bool GameConnect();

private:
    Session& m_session;
    CommandSender& m_sender;
    Prompts& m_prompts;
    Sound& m_sound;
    ViewFactory& m_views;
    std::string m_settingsPath;
};

} // namespace corvane
