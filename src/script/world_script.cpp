#include "script/world_script.h"

#include "script/lua_json.h"
#include "script/script_api.h"
#include "settings/atomic_file.h"

#include <lua.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

constexpr std::array<const char*, 9> kEvents = {"connect", "login", "disconnect", "line",        "prompt",
                                                "gmcp",    "msdp",  "room",       "conversation"};
constexpr std::size_t kMaxCompiled = 1000;
constexpr std::uintmax_t kMaxVarsBytes = std::uintmax_t{16} * 1024 * 1024;

// What a protected runner needs; only plain pointers, as a Lua error may jump over it.
struct RuleRun {
    int function;
    std::string_view line;
    const PatternMatch* match;
    const std::vector<std::pair<std::string, int>>* names;
    const AliasArguments* arguments;
};

void pushText(lua_State* L, std::string_view text) {
    lua_pushlstring(L, text.data(), text.size());
}

int runRule(lua_State* L) {
    const auto* run = static_cast<const RuleRun*>(lua_touserdata(L, 1));
    lua_newtable(L);
    if (run->match != nullptr) {
        const PatternMatch& match = *run->match;
        for (std::size_t g = 0; g < match.groups.size(); ++g) {
            pushText(L, match.group(run->line, g));
            lua_rawseti(L, -2, static_cast<lua_Integer>(g));
        }
        for (const auto& [name, number] : *run->names) {
            pushText(L, match.group(run->line, static_cast<std::size_t>(number)));
            lua_setfield(L, -2, name.c_str());
        }
    } else if (run->arguments != nullptr) {
        pushText(L, run->line);
        lua_rawseti(L, -2, 0);
        lua_Integer n = 1;
        for (const std::string& word : run->arguments->numbered) {
            pushText(L, word);
            lua_rawseti(L, -2, n++);
        }
        pushText(L, run->arguments->rest);
        lua_setfield(L, -2, "rest");
    }
    lua_setglobal(L, "matches");
    pushText(L, run->line);
    lua_setglobal(L, "line");
    lua_rawgeti(L, LUA_REGISTRYINDEX, run->function);
    lua_call(L, 0, 0);
    return 0;
}

struct Compile {
    std::string_view code;
    const char* name;
    int function;
};

int compileRule(lua_State* L) {
    auto* compile = static_cast<Compile*>(lua_touserdata(L, 1));
    if (luaL_loadbufferx(L, compile->code.data(), compile->code.size(), compile->name, "t") != LUA_OK) {
        return lua_error(L);
    }
    compile->function = luaL_ref(L, LUA_REGISTRYINDEX);
    return 0;
}

struct EventRun {
    const std::vector<int>* handlers;
    const std::vector<WorldScript::EventValue>* values;
    const nlohmann::json* json;
    std::size_t next;
};

// One handler per call, so an error in one leaves the others to run.
int runHandler(lua_State* L) {
    auto* run = static_cast<EventRun*>(lua_touserdata(L, 1));
    lua_rawgeti(L, LUA_REGISTRYINDEX, (*run->handlers)[run->next]);
    int count = 0;
    for (const WorldScript::EventValue& value : *run->values) {
        if (const std::string* text = std::get_if<std::string>(&value)) {
            pushText(L, *text);
        } else {
            lua_pushinteger(L, static_cast<lua_Integer>(std::get<std::int64_t>(value)));
        }
        ++count;
    }
    if (run->json != nullptr) {
        PushJson(L, *run->json);
        ++count;
    }
    lua_call(L, count, 0);
    return 0;
}

int callRef(lua_State* L) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, *static_cast<const int*>(lua_touserdata(L, 1)));
    lua_call(L, 0, 0);
    return 0;
}

struct JsonRun {
    nlohmann::json json;
    const char* name;
    bool all;
};

int readVars(lua_State* L) {
    auto* run = static_cast<JsonRun*>(lua_touserdata(L, 1));
    lua_getglobal(L, "vars");
    if (run->all) {
        run->json = lua_istable(L, -1) ? ToJson(L, -1) : nlohmann::json::object();
    } else if (lua_istable(L, -1)) {
        lua_getfield(L, -1, run->name);
        run->json = ToJson(L, -1);
    }
    return 0;
}

int writeVars(lua_State* L) {
    auto* run = static_cast<JsonRun*>(lua_touserdata(L, 1));
    if (run->all) {
        PushJson(L, run->json.is_object() ? run->json : nlohmann::json::object());
        lua_setglobal(L, "vars");
        return 0;
    }
    lua_getglobal(L, "vars");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setglobal(L, "vars");
    }
    if (run->json.is_null()) {
        lua_pushnil(L);
    } else {
        PushJson(L, run->json);
    }
    lua_setfield(L, -2, run->name);
    return 0;
}

int setWorld(lua_State* L) {
    const auto* world = static_cast<const WorldScript::World*>(lua_touserdata(L, 1));
    lua_createtable(L, 0, 3);
    pushText(L, world->name);
    lua_setfield(L, -2, "name");
    pushText(L, world->character);
    lua_setfield(L, -2, "character");
    pushText(L, world->server);
    lua_setfield(L, -2, "server");
    lua_setglobal(L, "world");
    return 0;
}

struct Test {
    const std::string* expression;
    bool holds;
};

int testExpression(lua_State* L) {
    auto* test = static_cast<Test*>(lua_touserdata(L, 1));
    static const char helper[] =
        "local expression = ... "
        "local env = setmetatable({}, {__index = function(_, k) "
        "  local v = type(vars) == 'table' and vars[k] if v ~= nil then return v end return _G[k] end}) "
        "local f, e = load('return (' .. expression .. ')', '=if', 't', env) "
        "if not f then error(e, 0) end return f()";
    if (luaL_loadbufferx(L, helper, sizeof helper - 1, "=if", "t") != LUA_OK) {
        return lua_error(L);
    }
    pushText(L, *test->expression);
    lua_call(L, 1, 1);
    test->holds = lua_toboolean(L, -1) != 0;
    return 0;
}

int registerApi(lua_State* L) {
    RegisterScriptApi(L);
    return 0;
}

} // namespace

WorldScript::WorldScript(Services services, World world, std::string varsPath, const Clock& clock)
    : m_services(std::move(services))
    , m_world(std::move(world))
    , m_varsPath(std::move(varsPath))
    , m_clock(clock)
    , m_lua(this) {
    std::string error = m_lua.protect(registerApi, nullptr);
    if (error.empty()) {
        error = m_lua.protect(setWorld, &m_world);
    }
    if (!error.empty()) {
        reportError(error);
    }
    loadVars();
    if (!m_varsPath.empty()) {
        m_saveTimer = m_services.timers.startRepeating(kVarsSaveInterval, [this] {
            if (const std::string reason = saveVars(); !reason.empty()) {
                reportError("vars not saved to " + m_varsPath + ": " + reason);
            }
        });
    }
}

WorldScript::~WorldScript() {
    if (m_saveTimer >= 0) {
        m_services.timers.stop(m_saveTimer);
    }
    for (const auto& [handle, timer] : m_timers) {
        m_services.timers.stop(timer.id);
    }
    saveVars();
}

WorldScript& WorldScript::Of(lua_State* L) {
    return *static_cast<WorldScript*>(LuaState::Owner(L));
}

void WorldScript::reportError(const std::string& error) {
    m_services.echo("*** Lua error: " + error, std::nullopt);
}

bool WorldScript::run(std::string_view code, const std::string& name) {
    const std::string error = m_lua.run(code, name);
    if (!error.empty()) {
        reportError(error);
    }
    return error.empty();
}

bool WorldScript::listensTo(const std::string& event) const {
    const auto found = m_handlers.find(event);
    return found != m_handlers.end() && !found->second.empty();
}

void WorldScript::dispatch(const std::string& event, const std::vector<EventValue>& values) {
    const auto found = m_handlers.find(event);
    if (found == m_handlers.end()) {
        return;
    }
    // A handler may add handlers: the ones there now run.
    const std::vector<int> handlers = found->second;
    EventRun run{&handlers, &values, nullptr, 0};
    for (run.next = 0; run.next < handlers.size(); ++run.next) {
        if (std::string error = m_lua.protect(runHandler, &run); !error.empty()) {
            reportError(error + " (in the \"" + event + "\" event)");
        }
    }
}

void WorldScript::dispatchGmcp(const std::string& package, std::string_view json) {
    if (!listensTo("gmcp")) {
        return;
    }
    const nlohmann::json body = nlohmann::json::parse(json, nullptr, false);
    dispatchJson("gmcp", package, body.is_discarded() ? nullptr : &body);
}

void WorldScript::dispatchJson(const std::string& event, const std::string& name, const nlohmann::json* value) {
    const auto found = m_handlers.find(event);
    if (found == m_handlers.end()) {
        return;
    }
    const std::vector<int> handlers = found->second;
    const std::vector<EventValue> values = {name};
    EventRun run{&handlers, &values, value, 0};
    for (run.next = 0; run.next < handlers.size(); ++run.next) {
        if (std::string error = m_lua.protect(runHandler, &run); !error.empty()) {
            reportError(error + " (in the \"" + event + "\" event)");
        }
    }
}

void WorldScript::callHandler(int handler) {
    if (std::string error = m_lua.protect(callRef, &handler); !error.empty()) {
        reportError(error);
    }
}

void WorldScript::releaseHandler(int handler) {
    luaL_unref(m_lua.L(), LUA_REGISTRYINDEX, handler);
}

int WorldScript::compiled(const std::string& code, const std::string& name) {
    if (const auto found = m_compiled.find(code); found != m_compiled.end()) {
        return found->second;
    }
    if (m_compiled.size() >= kMaxCompiled) {
        for (const auto& [text, function] : m_compiled) {
            luaL_unref(m_lua.L(), LUA_REGISTRYINDEX, function);
        }
        m_compiled.clear();
    }
    const std::string chunk = "@" + name;
    Compile compile{code, chunk.c_str(), 0};
    if (std::string error = m_lua.protect(compileRule, &compile); !error.empty()) {
        reportError(error);
        m_compiled[code] = 0;
        return 0;
    }
    m_compiled[code] = compile.function;
    return compile.function;
}

namespace {
std::string ruleName(const Rule& rule) {
    return std::string(rule.kind == Rule::Kind::Alias ? "alias " : "trigger ") +
           (rule.name.empty() ? rule.pattern : rule.name);
}
} // namespace

void WorldScript::runTrigger(const Rule& rule, std::string_view line, const PatternMatch& match,
                             const PatternMatcher& matcher, LineEdit& edit) {
    const int function = compiled(rule.script, ruleName(rule));
    if (function == 0) {
        return;
    }
    const std::vector<std::pair<std::string, int>> names = matcher.groupNames();
    RuleRun run{function, line, &match, &names, nullptr};
    LineEdit* outer = std::exchange(m_line, &edit);
    const std::string error = m_lua.protect(runRule, &run);
    m_line = outer;
    if (!error.empty()) {
        reportError(error);
    }
}

std::vector<std::string> WorldScript::runAlias(const Rule& rule, const std::string& line,
                                               const AliasArguments& arguments) {
    std::vector<std::string> sent;
    const int function = compiled(rule.script, ruleName(rule));
    if (function == 0) {
        return sent;
    }
    RuleRun run{function, line, nullptr, nullptr, &arguments};
    std::vector<std::string>* outer = std::exchange(m_capture, &sent);
    LineEdit* outerLine = std::exchange(m_line, nullptr);
    const std::string error = m_lua.protect(runRule, &run);
    m_capture = outer;
    m_line = outerLine;
    if (!error.empty()) {
        reportError(error);
    }
    return sent;
}

void WorldScript::line(std::string_view text, bool prompt, LineEdit& edit) {
    LineEdit* outer = std::exchange(m_line, prompt ? nullptr : &edit);
    dispatch(prompt ? "prompt" : "line", {std::string(text)});
    m_line = outer;
}

void WorldScript::send(const std::string& text, bool raw) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string command = text.substr(start, end - start);
        if (!command.empty() && command.back() == '\r') {
            command.pop_back();
        }
        if (m_capture != nullptr && !raw) {
            m_capture->push_back(std::move(command));
        } else {
            m_services.send(command, raw);
        }
        start = end + 1;
    }
}

void WorldScript::speak(const std::string& text, bool interrupt, const std::string& voice) {
    if (m_services.speak) {
        m_services.speak(text, interrupt, voice);
    }
}

std::variant<int, std::string> WorldScript::startTimer(double seconds, bool repeating, std::string name) {
    lua_State* L = m_lua.L();
    const char* function = repeating ? "every" : "after";
    std::string refusal;
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 7 * 24 * 3600.0) {
        refusal = std::string(function) + ": the time must be from 0 to a week in seconds";
    } else if (repeating && seconds < kShortestEvery) {
        char text[96];
        std::snprintf(text, sizeof text, "every(%g): an interval under %g seconds is refused", seconds,
                      kShortestEvery);
        refusal = text;
    } else if (m_timers.size() >= kMaxTimers) {
        refusal = std::string(function) + ": more than " + std::to_string(kMaxTimers) + " timers";
    }
    if (!refusal.empty()) {
        lua_pop(L, 1);
        return refusal;
    }
    if (!name.empty()) {
        // A name is a ticker's: starting it again replaces it.
        for (const TimerInfo& timer : timers()) {
            if (timer.name == name) {
                cancelTimer(timer.handle);
            }
        }
    }
    Timer timer;
    timer.function = luaL_ref(L, LUA_REGISTRYINDEX);
    const int handle = m_nextTimer++;
    const auto interval = std::chrono::milliseconds(std::llround(seconds * 1000));
    timer.info = TimerInfo{handle, std::move(name), seconds, repeating, m_clock.now() + interval};
    timer.id = repeating ? m_services.timers.startRepeating(interval, [this, handle] { fire(handle); })
                         : m_services.timers.startSingleShot(interval, [this, handle] { fire(handle); });
    m_timers.emplace(handle, std::move(timer));
    return handle;
}

void WorldScript::fire(int handle) {
    const auto found = m_timers.find(handle);
    if (found == m_timers.end()) {
        return;
    }
    int function = found->second.function;
    const bool repeating = found->second.info.repeating;
    const std::string name = found->second.info.name;
    if (repeating) {
        found->second.info.due =
            m_clock.now() + std::chrono::milliseconds(std::llround(found->second.info.seconds * 1000));
    } else {
        m_timers.erase(found);
    }
    const std::string error = m_lua.protect(callRef, &function);
    if (!repeating) {
        luaL_unref(m_lua.L(), LUA_REGISTRYINDEX, function);
    }
    if (!error.empty()) {
        if (repeating) {
            // A failing ticker would print the same line for ever.
            cancelTimer(handle);
            reportError(error + (name.empty() ? " (timer stopped)" : " (timer \"" + name + "\" stopped)"));
        } else {
            reportError(error);
        }
    }
}

std::vector<WorldScript::TimerInfo> WorldScript::timers() const {
    std::vector<TimerInfo> out;
    for (const auto& [handle, timer] : m_timers) {
        out.push_back(timer.info);
    }
    return out;
}

void WorldScript::cancelTimer(int handle) {
    const auto found = m_timers.find(handle);
    if (found == m_timers.end()) {
        return;
    }
    m_services.timers.stop(found->second.id);
    luaL_unref(m_lua.L(), LUA_REGISTRYINDEX, found->second.function);
    m_timers.erase(found);
}

std::string WorldScript::addHandler(const std::string& event) {
    lua_State* L = m_lua.L();
    if (std::find_if(kEvents.begin(), kEvents.end(), [&event](const char* known) { return event == known; }) ==
        kEvents.end()) {
        lua_pop(L, 1);
        return "on: no event \"" + event +
               "\" (connect, login, disconnect, line, prompt, gmcp, msdp, room, conversation)";
    }
    std::vector<int>& handlers = m_handlers[event];
    if (handlers.size() >= kMaxHandlers) {
        lua_pop(L, 1);
        return "on: more than " + std::to_string(kMaxHandlers) + " handlers for \"" + event + "\"";
    }
    handlers.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
    return {};
}

std::string WorldScript::bind(const std::string& key, const std::string& command, bool withFunction) {
    lua_State* L = m_lua.L();
    const int handler = withFunction ? luaL_ref(L, LUA_REGISTRYINDEX) : 0;
    std::string error = m_services.bind ? m_services.bind(key, command, handler)
                                        : std::string("bind: key bindings are not available here");
    if (!error.empty() && withFunction) {
        luaL_unref(L, LUA_REGISTRYINDEX, handler);
    }
    return error;
}

std::optional<bool> WorldScript::test(const std::string& expression) {
    Test test{&expression, false};
    if (std::string error = m_lua.protect(testExpression, &test); !error.empty()) {
        reportError(error);
        return std::nullopt;
    }
    return test.holds;
}

void WorldScript::characterLoggedIn(const std::string& character) {
    m_world.character = character;
    if (std::string error = m_lua.protect(setWorld, &m_world); !error.empty()) {
        reportError(error);
    }
}

void WorldScript::loadVars() {
    if (m_varsPath.empty()) {
        return;
    }
    std::error_code code;
    if (!std::filesystem::exists(m_varsPath, code)) {
        JsonRun run{nlohmann::json::object(), "", true};
        m_lua.protect(writeVars, &run);
        m_savedVars = varsJson();
        return;
    }
    std::string problem;
    JsonRun run{nullptr, "", true};
    if (std::filesystem::file_size(m_varsPath, code) > kMaxVarsBytes) {
        problem = "it is bigger than 16 MiB";
    } else {
        std::ifstream file(m_varsPath, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        run.json = nlohmann::json::parse(bytes.str(), nullptr, false);
        if (!file || run.json.is_discarded() || !run.json.is_object()) {
            problem = "it is not a JSON object";
        }
    }
    if (problem.empty()) {
        problem = m_lua.protect(writeVars, &run);
    }
    if (!problem.empty()) {
        // Never written over: what the player kept there stays for them to mend.
        reportError("vars file " + m_varsPath + " could not be read (" + problem + "); vars start empty and are not saved");
        m_varsPath.clear();
        JsonRun empty{nlohmann::json::object(), "", true};
        m_lua.protect(writeVars, &empty);
    }
    m_savedVars = varsJson();
}

std::string WorldScript::varsJson() const {
    JsonRun run{nullptr, "", true};
    const_cast<LuaState&>(m_lua).protect(readVars, &run);
    return run.json.dump(2) + "\n";
}

std::string WorldScript::saveVars() {
    if (m_varsPath.empty()) {
        return {};
    }
    const std::string json = varsJson();
    if (json == m_savedVars) {
        return {};
    }
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(m_varsPath).parent_path(), code);
    std::string reason;
    if (!WriteFileAtomically(m_varsPath, json, reason)) {
        return reason;
    }
    m_savedVars = json;
    return {};
}

std::vector<std::pair<std::string, std::string>> WorldScript::variables() const {
    JsonRun run{nullptr, "", true};
    const_cast<LuaState&>(m_lua).protect(readVars, &run);
    std::vector<std::pair<std::string, std::string>> out;
    if (run.json.is_object()) {
        for (const auto& [name, value] : run.json.items()) {
            out.emplace_back(name, value.is_string() ? value.get<std::string>() : value.dump());
        }
    }
    return out;
}

void WorldScript::setVariable(const std::string& name, const std::string& value) {
    JsonRun run{nullptr, name.c_str(), false};
    if (!value.empty()) {
        run.json = nlohmann::json::parse(value, nullptr, false);
        if (run.json.is_discarded()) {
            run.json = value;
        }
    }
    if (std::string error = m_lua.protect(writeVars, &run); !error.empty()) {
        reportError(error);
    }
}

} // namespace corvane
