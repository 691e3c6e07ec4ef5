#pragma once

#include <nlohmann/json.hpp>

struct lua_State;

namespace corvane {

// JSON to Lua and back for vars and GMCP: objects and arrays become tables
// (arrays from 1); a table whose keys are 1..n becomes an array. Functions,
// and what lies deeper than kMaxDepth (a table holding itself), are left out.
constexpr int kMaxJsonDepth = 32;
void PushJson(lua_State* L, const nlohmann::json& value, int depth = 0);
nlohmann::json ToJson(lua_State* L, int index, int depth = 0);

} // namespace corvane
