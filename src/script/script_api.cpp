#include "script/script_api.h"

#include "core/text_codec.h"
#include "rules/rules_file.h"
#include "script/world_script.h"

#include <lua.hpp>

#include <array>
#include <utility>

namespace corvane {

namespace {

// Lua errors jump over C++ frames: no object with a destructor may be alive
// where one is raised, so messages go onto the Lua stack first.
WorldScript& world(lua_State* L) {
    return WorldScript::Of(L);
}

std::string checkText(lua_State* L, int index) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    return std::string(text, length);
}

// Leaves the message, with where the script was, on the stack for lua_error.
void pushError(lua_State* L, const std::string& message) {
    luaL_where(L, 1);
    lua_pushlstring(L, message.data(), message.size());
    lua_concat(L, 2);
}

std::optional<Rgb> checkColour(lua_State* L, int index) {
    if (lua_isnoneornil(L, index)) {
        return std::nullopt;
    }
    const char* text = luaL_checkstring(L, index);
    const std::optional<Rgb> colour = ScriptColour(text);
    if (!colour) {
        luaL_argerror(L, index,
                      lua_pushfstring(L, "\"%s\" is not a colour (\"#rrggbb\" or a name such as \"red\")", text));
    }
    return colour;
}

int apiSend(lua_State* L) {
    bool raw = false;
    if (lua_istable(L, 2)) {
        lua_getfield(L, 2, "raw");
        raw = lua_toboolean(L, -1) != 0;
        lua_pop(L, 1);
    }
    world(L).send(checkText(L, 1), raw);
    return 0;
}

int apiEcho(lua_State* L) {
    const std::optional<Rgb> colour = checkColour(L, 2);
    world(L).echo(checkText(L, 1), colour);
    return 0;
}

int apiPrint(lua_State* L) {
    const int count = lua_gettop(L);
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (int i = 1; i <= count; ++i) {
        if (i > 1) {
            luaL_addchar(&buffer, '\t');
        }
        luaL_tolstring(L, i, nullptr);
        luaL_addvalue(&buffer);
    }
    luaL_pushresult(&buffer);
    world(L).echo(lua_tostring(L, -1), std::nullopt);
    return 0;
}

LineEdit& currentLine(lua_State* L, const char* function) {
    LineEdit* line = world(L).currentLine();
    if (line == nullptr) {
        luaL_error(L, "%s() works only in a trigger or a \"line\" event", function);
    }
    return *line;
}

int apiGag(lua_State* L) {
    currentLine(L, "gag").gag = true;
    return 0;
}

int apiColour(lua_State* L) {
    const std::optional<Rgb> foreground = checkColour(L, 1);
    const std::optional<Rgb> background = checkColour(L, 2);
    LineEdit& line = currentLine(L, "colour");
    line.foreground = foreground;
    line.background = background;
    return 0;
}

int apiReplace(lua_State* L) {
    luaL_checkstring(L, 1);
    LineEdit& line = currentLine(L, "replace");
    line.replacement = checkText(L, 1);
    return 0;
}

int apiCancelHandle(lua_State* L) {
    world(L).cancelTimer(static_cast<int>(lua_tointeger(L, lua_upvalueindex(1))));
    return 0;
}

int startTimer(lua_State* L, bool repeating) {
    const double seconds = luaL_checknumber(L, 1);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    const char* name = luaL_optstring(L, 3, "");
    lua_pushvalue(L, 2);
    int handle = 0;
    {
        const auto started = world(L).startTimer(seconds, repeating, name);
        if (const std::string* error = std::get_if<std::string>(&started)) {
            pushError(L, *error);
        } else {
            handle = std::get<int>(started);
        }
    }
    if (handle == 0) {
        return lua_error(L);
    }
    lua_createtable(L, 0, 3);
    lua_pushinteger(L, handle);
    lua_pushcclosure(L, apiCancelHandle, 1);
    lua_setfield(L, -2, "cancel");
    lua_pushstring(L, name);
    lua_setfield(L, -2, "name");
    lua_pushinteger(L, handle);
    lua_setfield(L, -2, "id");
    return 1;
}

int apiAfter(lua_State* L) {
    return startTimer(L, false);
}

int apiEvery(lua_State* L) {
    return startTimer(L, true);
}

int apiCancel(lua_State* L) {
    const char* name = luaL_checkstring(L, 1);
    bool found = false;
    for (const WorldScript::TimerInfo& timer : world(L).timers()) {
        if (timer.name == name) {
            world(L).cancelTimer(timer.handle);
            found = true;
        }
    }
    lua_pushboolean(L, found ? 1 : 0);
    return 1;
}

int apiOn(lua_State* L) {
    const char* event = luaL_checkstring(L, 1);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_pushvalue(L, 2);
    bool failed = false;
    {
        const std::string error = world(L).addHandler(event);
        if (!error.empty()) {
            pushError(L, error);
            failed = true;
        }
    }
    return failed ? lua_error(L) : 0;
}

int apiBind(lua_State* L) {
    const char* key = luaL_checkstring(L, 1);
    const bool function = lua_isfunction(L, 2);
    const char* command = function ? "" : luaL_checkstring(L, 2);
    if (function) {
        lua_pushvalue(L, 2);
    }
    bool failed = false;
    {
        const std::string error = world(L).bind(key, command, function);
        if (!error.empty()) {
            pushError(L, error);
            failed = true;
        }
    }
    return failed ? lua_error(L) : 0;
}

// speak(text [, interrupt]) or speak(text, {interrupt = true, voice = "..."}).
int apiSpeak(lua_State* L) {
    luaL_checkstring(L, 1);
    bool interrupt = false;
    std::string voice;
    if (lua_istable(L, 2)) {
        lua_getfield(L, 2, "interrupt");
        interrupt = lua_toboolean(L, -1) != 0;
        lua_getfield(L, 2, "voice");
        if (lua_type(L, -1) == LUA_TSTRING) {
            voice = lua_tostring(L, -1);
        } else if (!lua_isnil(L, -1)) {
            return luaL_error(L, "speak(): voice must be a voice's name");
        }
        lua_pop(L, 2);
    } else {
        interrupt = lua_toboolean(L, 2) != 0;
    }
    world(L).speak(checkText(L, 1), interrupt, voice);
    return 0;
}

} // namespace

std::optional<Rgb> ScriptColour(const std::string& text) {
    if (std::optional<Rgb> colour = ParseColour(text)) {
        return colour;
    }
    static const std::array<std::pair<const char*, Rgb>, 22> names = {{
        {"black", {0, 0, 0}},          {"red", {205, 0, 0}},
        {"green", {0, 205, 0}},        {"yellow", {205, 205, 0}},
        {"blue", {0, 0, 238}},         {"magenta", {205, 0, 205}},
        {"cyan", {0, 205, 205}},       {"white", {229, 229, 229}},
        {"grey", {127, 127, 127}},     {"gray", {127, 127, 127}},
        {"light red", {255, 0, 0}},    {"light green", {0, 255, 0}},
        {"light yellow", {255, 255, 0}}, {"light blue", {92, 92, 255}},
        {"light magenta", {255, 0, 255}}, {"light cyan", {0, 255, 255}},
        {"bright white", {255, 255, 255}}, {"orange", {255, 165, 0}},
        {"purple", {128, 0, 128}},     {"pink", {255, 192, 203}},
        {"brown", {165, 42, 42}},      {"violet", {238, 130, 238}},
    }};
    for (const auto& [name, colour] : names) {
        if (EqualsNoCase(text, name)) {
            return colour;
        }
    }
    return std::nullopt;
}

void RegisterScriptApi(lua_State* L) {
    static const luaL_Reg api[] = {
        {"send", apiSend},       {"echo", apiEcho},     {"print", apiPrint}, {"gag", apiGag},
        {"colour", apiColour},   {"color", apiColour},  {"replace", apiReplace}, {"after", apiAfter},
        {"every", apiEvery},     {"cancel", apiCancel}, {"on", apiOn},       {"bind", apiBind},
        {"speak", apiSpeak},     {nullptr, nullptr},
    };
    lua_pushglobaltable(L);
    luaL_setfuncs(L, api, 0);
    lua_pop(L, 1);
}

} // namespace corvane
