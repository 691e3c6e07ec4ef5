#include "script/lua_json.h"

#include <lua.hpp>

#include <cmath>

namespace corvane {

void PushJson(lua_State* L, const nlohmann::json& value, int depth) {
    if (depth > kMaxJsonDepth || !lua_checkstack(L, 3)) {
        lua_pushnil(L);
        return;
    }
    switch (value.type()) {
    case nlohmann::json::value_t::boolean:
        lua_pushboolean(L, value.get<bool>() ? 1 : 0);
        break;
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
        lua_pushinteger(L, value.get<lua_Integer>());
        break;
    case nlohmann::json::value_t::number_float:
        lua_pushnumber(L, value.get<double>());
        break;
    case nlohmann::json::value_t::string:
        lua_pushlstring(L, value.get_ref<const std::string&>().data(), value.get_ref<const std::string&>().size());
        break;
    case nlohmann::json::value_t::array: {
        lua_createtable(L, static_cast<int>(value.size()), 0);
        lua_Integer n = 1;
        for (const auto& item : value) {
            PushJson(L, item, depth + 1);
            lua_rawseti(L, -2, n++);
        }
        break;
    }
    case nlohmann::json::value_t::object:
        lua_createtable(L, 0, static_cast<int>(value.size()));
        for (const auto& [key, item] : value.items()) {
            PushJson(L, item, depth + 1);
            lua_setfield(L, -2, key.c_str());
        }
        break;
    default:
        lua_pushnil(L);
        break;
    }
}

nlohmann::json ToJson(lua_State* L, int index, int depth) {
    index = lua_absindex(L, index);
    switch (lua_type(L, index)) {
    case LUA_TBOOLEAN:
        return lua_toboolean(L, index) != 0;
    case LUA_TNUMBER:
        if (lua_isinteger(L, index)) {
            return static_cast<std::int64_t>(lua_tointeger(L, index));
        } else {
            const double number = lua_tonumber(L, index);
            return std::isfinite(number) ? nlohmann::json(number) : nlohmann::json();
        }
    case LUA_TSTRING: {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        return std::string(text, length);
    }
    case LUA_TTABLE:
        break;
    default:
        return nullptr;
    }
    if (depth >= kMaxJsonDepth || !lua_checkstack(L, 4)) {
        return nullptr;
    }
    const lua_Unsigned length = lua_rawlen(L, index);
    std::size_t keys = 0;
    lua_pushnil(L);
    while (lua_next(L, index) != 0) {
        ++keys;
        lua_pop(L, 1);
    }
    if (length > 0 && keys == length) {
        nlohmann::json array = nlohmann::json::array();
        for (lua_Unsigned i = 1; i <= length; ++i) {
            lua_rawgeti(L, index, static_cast<lua_Integer>(i));
            array.push_back(ToJson(L, -1, depth + 1));
            lua_pop(L, 1);
        }
        return array;
    }
    nlohmann::json object = nlohmann::json::object();
    lua_pushnil(L);
    while (lua_next(L, index) != 0) {
        const int type = lua_type(L, -1);
        if (type != LUA_TFUNCTION && type != LUA_TUSERDATA && type != LUA_TTHREAD &&
            (lua_type(L, -2) == LUA_TSTRING || lua_type(L, -2) == LUA_TNUMBER)) {
            // A copy of the key: lua_tolstring on a number key would change it under lua_next.
            lua_pushvalue(L, -2);
            std::size_t length2 = 0;
            const char* key = lua_tolstring(L, -1, &length2);
            object[std::string(key, length2)] = ToJson(L, -2, depth + 1);
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }
    return object;
}

} // namespace corvane
