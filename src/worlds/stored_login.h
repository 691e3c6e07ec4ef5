#pragma once

#include <optional>
#include <string>

namespace corvane {

struct Session;
class Connection;
class CommandSender;
class Prompts;
class MainWindowView;

// Starting logged in (a shortcut or a script naming world and character):
// the steps the connect dialog and the character dialog run when the user
// picks an entry and presses OK, run by the same presenters on views without
// widgets. Each returns nothing on success, else a text saying what failed.

// Picks the stored world of that name and connects; the caller then does
// what follows a closed connect dialog. `attempted` tells whether a
// connection was tried, whose failure the connection has reported itself.
std::optional<std::string> ConnectStoredWorld(const std::string& worldName, Session& session,
                                              Connection& connection, Prompts& prompts,
                                              MainWindowView& window, const std::string& settingsPath,
                                              bool* attempted = nullptr);

// Picks the stored character of that name (the first one when the name is
// empty) of the current world and logs it in.
std::optional<std::string> LoginStoredCharacter(const std::string& characterName, Session& session,
                                                CommandSender& sender, Prompts& prompts,
                                                const std::string& settingsPath);

} // namespace corvane
