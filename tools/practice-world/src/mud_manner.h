#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "who_texts.h"

namespace practice_world {

// What the MUD manner (--mud) sends differently: prompts ended by IAC GA,
// line breaks inside a text as CR CR LF, a bordered WHO table, and GMCP
// messages for clients that agreed to them.
namespace mud {

inline constexpr unsigned char kGmcp = 201;
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
// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);
// The telnet offers sent at connect, before any text.
std::string offers();

} // namespace mud

} // namespace practice_world
