#pragma once

#include "core/rgb.h"

#include <optional>
#include <string>

struct lua_State;

namespace corvane {

// Puts Corvane's functions into a world's Lua state: send, echo, print,
// gag, colour, replace, after, every, cancel, on, bind, speak. Each is a
// short function that checks its arguments and hands over to the world's
// WorldScript.
void RegisterScriptApi(lua_State* L);

// "#rrggbb" or a colour's name ("red", "light blue", "grey"...).
std::optional<Rgb> ScriptColour(const std::string& text);

} // namespace corvane
