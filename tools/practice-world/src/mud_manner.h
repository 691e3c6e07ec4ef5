#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "who_texts.h"

namespace practice_world {

// What the MUD manner (--mud) sends differently: prompts ended by IAC GA,
// line breaks inside a text as CR CR LF, a bordered WHO table, and GMCP
// messages and MSDP variables for clients that agreed to them.
namespace mud {

inline constexpr unsigned char kGmcp = 201;
inline constexpr unsigned char kMccp2 = 86;
inline constexpr unsigned char kMssp = 70;
inline constexpr unsigned char kMsdp = 69;
inline constexpr unsigned char kMxp = 91;
inline constexpr std::string_view kBadUtf8 = "Your client sent an incorrect UTF-8 sequence.";

bool validUtf8(std::string_view text);
// "Command 'x' is not available. Type "help" for help."
std::string unknownCommand(std::string_view word);
// The prompt after every answer: "HP:8/10 MP:5 > " and IAC GA.
std::string prompt();
// Each line end inside `text` (all but its last) sent as CR CR LF.
std::string doubledCarriageReturns(std::string_view text);
std::vector<std::string> whoTableLines(const std::vector<WhoRow>& rows);
// IAC SB GMCP <name> <json> IAC SE.
std::string gmcp(std::string_view name, std::string_view json);
// One MSDP variable in its own subnegotiation, as MSDP servers report a
// change: IAC SB MSDP VAR <name> VAL <value> IAC SE. The value is put as
// given, so a table's markers (3 and 4, VAR and VAL inside) may be in it.
std::string msdp(std::string_view name, std::string_view value);
// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);
// IAC SB MSSP with what the world says about itself: its name, players
// online, when it started (seconds since 1970), codebase, and a variable
// with two values.
std::string mssp(std::size_t players, long long startedAt);
// "Exits: north, east." with each exit an MXP link that walks it, each tag
// after ESC [ 4 z (secure for that tag only), as MXP servers of the Python
// family send them.
std::string mxpExits(const std::vector<std::string>& exits);
// The telnet offers sent at connect, before any text.
std::string offers();

} // namespace mud

// What the Diku manners (--diku) send instead: a log-in by name and password
// at prompts, a prompt left open without IAC GA, and the "[ 1 Wa] Name" WHO.
namespace diku {

inline constexpr std::string_view kNamePrompt = "By what name do you wish to be known? ";
std::string greeting();
// "Password: " and IAC WILL ECHO, so the client hides what is typed.
std::string passwordPrompt();
// IAC WONT ECHO and the line end the client did not echo.
std::string echoOn();
// "20H 100M 85V > ", left open.
std::string prompt();
std::vector<std::string> whoLines(const std::vector<WhoRow>& rows);

} // namespace diku

} // namespace practice_world
