#pragma once

#include "core/rgb.h"
#include "platform/clock.h"
#include "rules/rule_scripts.h"
#include "script/lua_state.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvane {

// The Lua of one connected world: its state with the API in it, the timers
// and event handlers its scripts made, and its `vars`, read from and saved
// to a JSON file of its own. Made at connect and dropped at disconnect, so
// nothing a script did outlives the connection except what it put in vars.
class WorldScript {
public:
    // `every` runs no more often than this; 0 would take the whole client.
    static constexpr double kShortestEvery = 0.1;
    static constexpr std::size_t kMaxTimers = 1000;
    static constexpr std::size_t kMaxHandlers = 1000;
    static constexpr std::chrono::seconds kVarsSaveInterval{30};

    struct Services {
        Timers& timers;
        // A command for the world, through the aliases unless raw, counted
        // by the runaway guard.
        std::function<void(const std::string&, bool raw)> send;
        // A line of the client's own in the output, in a colour if given.
        std::function<void(const std::string&, std::optional<Rgb>)> echo;
        // Speech, when the client has it: the text, whether it cuts in, and
        // a voice (empty: the player's own).
        std::function<void(const std::string&, bool interrupt, const std::string& voice)> speak = {};
        // A key binding from a script: the key, and a command or (when
        // empty) the function registered under `handler`; the refusal, or empty.
        std::function<std::string(const std::string& key, const std::string& command, int handler)> bind = {};
    };
    struct World {
        std::string name;
        std::string character;
        std::string server;
    };
    struct TimerInfo {
        int handle = 0;
        std::string name;
        double seconds = 0;
        bool repeating = false;
        TimePoint due{};
    };
    // Numbers are whole (a room's id): Lua integers, never floats.
    using EventValue = std::variant<std::string, std::int64_t>;

    WorldScript(Services services, World world, std::string varsPath, const Clock& clock);
    ~WorldScript();
    WorldScript(const WorldScript&) = delete;
    WorldScript& operator=(const WorldScript&) = delete;

    // Runs text as the chunk `name`; an error is shown as one line. False on error.
    bool run(std::string_view code, const std::string& name);
    // Calls the handlers of an event with its values.
    void dispatch(const std::string& event, const std::vector<EventValue>& values = {});
    // A GMCP message: its package and the JSON body, decoded for the handlers.
    void dispatchGmcp(const std::string& package, std::string_view json);
    // An event with a name and a value already read (an MSDP variable); no value: the name alone.
    void dispatchJson(const std::string& event, const std::string& name, const nlohmann::json* value);
    bool listensTo(const std::string& event) const;
    // A function a key binding holds: runs it.
    void callHandler(int handler);
    void releaseHandler(int handler);

    void runTrigger(const Rule& rule, std::string_view line, const PatternMatch& match,
                    const PatternMatcher& matcher, LineEdit& edit);
    std::vector<std::string> runAlias(const Rule& rule, const std::string& line, const AliasArguments& arguments);
    void line(std::string_view text, bool prompt, LineEdit& edit);

    // The Timers view.
    std::vector<TimerInfo> timers() const;
    void cancelTimer(int handle);
    // The Variables view: each top-level entry of vars as JSON text.
    std::vector<std::pair<std::string, std::string>> variables() const;
    // Sets vars[name] from JSON text (or a plain word, kept as a string);
    // empty text removes it.
    void setVariable(const std::string& name, const std::string& value);
    // `if (EXPRESSION)`: the expression in Lua, where a name not defined
    // is looked up in vars; nothing (and an error line) when it fails.
    std::optional<bool> test(const std::string& expression);
    // Writes vars when they changed since the last write; the reason when it failed.
    std::string saveVars();
    void characterLoggedIn(const std::string& character);
    const World& world() const { return m_world; }

    std::size_t memoryUsed() const { return m_lua.memoryUsed(); }

    // For the API functions.
    static WorldScript& Of(lua_State* L);
    void send(const std::string& text, bool raw);
    void echo(const std::string& text, std::optional<Rgb> colour) { m_services.echo(text, colour); }
    void speak(const std::string& text, bool interrupt, const std::string& voice);
    LineEdit* currentLine() { return m_line; }
    // Takes the function on the stack top; the handle, or an error for the script.
    std::variant<int, std::string> startTimer(double seconds, bool repeating, std::string name);
    std::string addHandler(const std::string& event);
    std::string bind(const std::string& key, const std::string& command, bool withFunction);

private:
    struct Timer {
        Timers::TimerId id = -1;
        int function = 0;
        TimerInfo info;
    };
    void fire(int handle);
    void reportError(const std::string& error);
    void loadVars();
    std::string varsJson() const;
    // A rule's script compiled once; 0 when it does not compile.
    int compiled(const std::string& code, const std::string& name);

    Services m_services;
    World m_world;
    std::string m_varsPath;
    const Clock& m_clock;
    LuaState m_lua;
    std::map<int, Timer> m_timers;
    int m_nextTimer = 1;
    std::map<std::string, std::vector<int>> m_handlers;
    std::map<std::string, int> m_compiled;
    LineEdit* m_line = nullptr;
    std::vector<std::string>* m_capture = nullptr;
    std::string m_savedVars;
    Timers::TimerId m_saveTimer = -1;
};

} // namespace corvane
