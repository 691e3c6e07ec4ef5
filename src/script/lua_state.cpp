#include "script/lua_state.h"

#include <lua.hpp>

#include <cstdlib>

namespace corvane {

namespace {

constexpr int kHookInstructions = 10000;

LuaState* stateOf(lua_State* L) {
    return *static_cast<LuaState**>(lua_getextraspace(L));
}

// load() as scripts may use it: text only, never a binary chunk.
int textOnlyLoad(lua_State* L) {
    const int given = lua_gettop(L);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushvalue(L, 1);
    if (given >= 2) {
        lua_pushvalue(L, 2);
    } else {
        lua_pushnil(L);
    }
    lua_pushliteral(L, "t");
    int arguments = 3;
    if (given >= 4) {
        lua_pushvalue(L, 4);
        ++arguments;
    }
    lua_call(L, arguments, LUA_MULTRET);
    return lua_gettop(L) - given;
}

void keepOnly(lua_State* L, const char* library, std::initializer_list<const char*> names) {
    lua_getglobal(L, library);
    lua_newtable(L);
    for (const char* name : names) {
        lua_getfield(L, -2, name);
        lua_setfield(L, -2, name);
    }
    lua_setglobal(L, library);
    lua_pop(L, 1);
}

} // namespace

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

LuaState::LuaState(void* owner)
    : m_owner(owner) {
    m_L = lua_newstate(&LuaState::allocate, this);
    if (m_L == nullptr) {
        return;
    }
    *static_cast<LuaState**>(lua_getextraspace(m_L)) = this;
    sandbox();
    lua_sethook(m_L, &LuaState::countHook, LUA_MASKCOUNT, kHookInstructions);
}

LuaState::~LuaState() {
    if (m_L != nullptr) {
        lua_close(m_L);
    }
}

void* LuaState::Owner(lua_State* L) {
    return stateOf(L)->m_owner;
}

void* LuaState::allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* state = static_cast<LuaState*>(self);
    // Without a block, oldSize says what kind of object is made, not its size.
    const std::size_t had = block != nullptr ? oldSize : 0;
    if (newSize == 0) {
        state->m_used -= had;
        std::free(block);
        return nullptr;
    }
    if (newSize > had && state->m_used - had + newSize > kMemoryLimit) {
        return nullptr;
    }
    void* moved = std::realloc(block, newSize);
    if (moved != nullptr) {
        state->m_used = state->m_used - had + newSize;
    }
    return moved;
}

void LuaState::countHook(lua_State* L, lua_Debug* where) {
    LuaState* state = stateOf(L);
    if (!state->m_overTime) {
        if (std::chrono::steady_clock::now() < state->m_deadline) {
            return;
        }
        state->m_overTime = true;
        // From now on every instruction stops it, so a pcall in the script cannot keep it running.
        lua_sethook(L, &LuaState::countHook, LUA_MASKCOUNT, 1);
    }
    // The running function's chunk and line: luaL_error would name its caller's.
    lua_getinfo(L, "Sl", where);
    if (where->currentline > 0) {
        lua_pushfstring(L, "%s:%d: ", where->short_src, where->currentline);
    } else {
        lua_pushfstring(L, "%s: ", where->short_src);
    }
    lua_pushfstring(L, "script ran over %d ms and was stopped", static_cast<int>(kTimeLimit.count()));
    lua_concat(L, 2);
    lua_error(L);
}

void LuaState::sandbox() {
    static const luaL_Reg libraries[] = {{LUA_GNAME, luaopen_base},        {LUA_TABLIBNAME, luaopen_table},
                                         {LUA_STRLIBNAME, luaopen_string}, {LUA_MATHLIBNAME, luaopen_math},
                                         {LUA_UTF8LIBNAME, luaopen_utf8},  {LUA_OSLIBNAME, luaopen_os}};
    for (const luaL_Reg& library : libraries) {
        luaL_requiref(m_L, library.name, library.func, 1);
        lua_pop(m_L, 1);
    }
    keepOnly(m_L, LUA_OSLIBNAME, {"time", "date", "clock", "difftime"});
    for (const char* name : {"dofile", "loadfile", "require", "collectgarbage"}) {
        lua_pushnil(m_L);
        lua_setglobal(m_L, name);
    }
    lua_getglobal(m_L, LUA_STRLIBNAME);
    lua_pushnil(m_L);
    lua_setfield(m_L, -2, "dump");
    lua_pop(m_L, 1);
    lua_getglobal(m_L, "load");
    lua_pushcclosure(m_L, textOnlyLoad, 1);
    lua_setglobal(m_L, "load");
}

std::string LuaState::errorLine(int status) {
    std::string text;
    if (status == LUA_ERRMEM) {
        text = "script used more than " + std::to_string(kMemoryLimit / (1024 * 1024)) + " MiB and was stopped";
    } else if (const char* message = lua_tostring(m_L, -1)) {
        text = message;
    } else {
        text = "error object is not a string";
    }
    lua_pop(m_L, 1);
    return OneLine(text);
}

std::string LuaState::load(std::string_view code, const std::string& name) {
    if (m_L == nullptr) {
        return name + ": Lua could not start";
    }
    const std::string chunk = "@" + name;
    const int status = luaL_loadbufferx(m_L, code.data(), code.size(), chunk.c_str(), "t");
    return status == LUA_OK ? std::string() : errorLine(status);
}

std::string LuaState::run(std::string_view code, const std::string& name) {
    if (m_L == nullptr) {
        return name + ": Lua could not start";
    }
    std::string error = load(code, name);
    if (!error.empty()) {
        return error;
    }
    return call(0);
}

std::string LuaState::call(int arguments) {
    if (m_L == nullptr) {
        return "Lua could not start";
    }
    if (m_depth == 0) {
        m_deadline = std::chrono::steady_clock::now() + kTimeLimit;
        if (m_overTime) {
            m_overTime = false;
            lua_sethook(m_L, &LuaState::countHook, LUA_MASKCOUNT, kHookInstructions);
        }
    }
    ++m_depth;
    const int status = lua_pcall(m_L, arguments, 0, 0);
    --m_depth;
    return status == LUA_OK ? std::string() : errorLine(status);
}

std::string LuaState::protect(int (*function)(lua_State*), void* data) {
    if (m_L == nullptr) {
        return "Lua could not start";
    }
    lua_pushcfunction(m_L, function);
    lua_pushlightuserdata(m_L, data);
    return call(1);
}

std::string LuaState::Compile(std::string_view code, const std::string& name) {
    LuaState state;
    std::string error = state.load(code, name);
    if (error.empty()) {
        lua_pop(state.m_L, 1);
    }
    return error;
}

} // namespace corvane
