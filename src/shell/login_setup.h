#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane {

struct Session;
class MainMenu;
class ButtonBars;
class MainWindowView;
class DisplayView;
class UserMacros;
class RoomWindows;
class TriggerSet;
class LineProcessor;
class GameTimer;
class SessionReset;
class Reconnect;
class Connection;
class CommandSender;
class Prompts;

// The program's own caption, before any world is named in it.
std::string ProgramCaption();

// What connecting to a world and logging a character in switch on, whichever
// way they came about (the two dialogs, --world, Game > Reconnect), and the
// caption that names the session.
class LoginSetup {
public:
    struct Parts {
        Session& session;
        MainMenu& menu;
        ButtonBars& buttons;
        MainWindowView& window;
        DisplayView& display;
        UserMacros& macros;
        RoomWindows& room;
        TriggerSet& triggers;
        LineProcessor& processor;
        GameTimer& gameTimer;
        SessionReset& reset;
        Reconnect& reconnect;
        Connection& connection;
        CommandSender& sender;
        Prompts& prompts;
        const std::string& settingsPath;
    };
    explicit LoginSetup(Parts parts);

    // The connect dialog has closed, or its steps ran without it: set up for
    // the world when it connected, else end the session.
    void worldChosen();
    // A character has logged in through the client.
    void loggedIn();
    // Told after each log-in's set-up.
    void setLoggedInHook(std::function<void()> hook) { m_loggedInHook = std::move(hook); }
    std::string sessionCaption() const;

    // Connects to the stored world and logs its character in (the first one
    // when the name is empty) without the dialogs; the text says what failed.
    std::optional<std::string> startLoggedIn(const std::string& worldName, const std::string& characterName);
    // Game > Reconnect: the last world of this run, and its last character.
    void reconnect();

private:
    std::optional<std::string> logInStored(const std::string& characterName);

    Parts m_parts;
    std::function<void()> m_loggedInHook;
};

} // namespace corvane
