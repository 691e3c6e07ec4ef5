#pragma once

#include "platform/file_watch.h"
#include "script/world_script.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct Session;

// Lua for the client to wire: the connected world's WorldScript, made at
// connect with the imported scripts and then the world's own script file run
// in it, and dropped at disconnect. It runs the rules' scripts for the
// trigger and alias stages.
class ScriptSystem : public RuleScripts {
public:
    struct Services {
        Timers& timers;
        const Clock& clock;
        // A command for the world counted by the runaway guard (the triggers').
        std::function<void(const std::string&)> sendGuarded;
        // A typed line through the aliases.
        std::function<std::vector<std::string>(const std::string&)> expand;
        std::function<void(const std::string&, std::optional<Rgb>)> echo;
        std::function<void(const std::string&, bool, const std::string&)> speak = {};
        std::function<std::string(const std::string&, const std::string&, int)> bind = {};
        // The world's state is about to close: what it bound goes with it.
        std::function<void()> closing = {};
    };

    explicit ScriptSystem(Services services);
    ~ScriptSystem() override;
    ScriptSystem(const ScriptSystem&) = delete;
    ScriptSystem& operator=(const ScriptSystem&) = delete;

    // Where the scripts and vars live (beside the settings file); empty: nowhere.
    void setSettingsPath(const std::string& settingsPath) { m_settingsPath = settingsPath; }
    const std::string& settingsPath() const { return m_settingsPath; }

    void connected(const Session& session);
    void loggedIn(const Session& session);
    void disconnected();
    WorldScript* world() { return m_world.get(); }

    // Lua typed by the player; without a world it says so.
    bool runLua(const std::string& code, const std::string& name = "input");
    // The world's own script file, and running it again after a save.
    std::string worldScriptPath(const std::string& worldName) const;
    std::string varsPath(const std::string& worldName) const;
    // Runs the scripts again in a fresh state (the world's file changed).
    void reloadWorldScript();
    // Where a change of the world's script file is seen; none: never reloaded by itself.
    void setFileWatch(FileWatch* watch) { m_fileWatch = watch; }
    // Runs again what an import stored, when a world is connected.
    void importedScriptChanged(const std::string& source);

    void roomEntered(const std::string& name, int id);
    void gmcp(const std::string& package, std::string_view json);
    // One MSDP variable as the world reported it.
    void msdp(const std::string& name, const nlohmann::json& value);
    void conversation(const std::string& name, const std::string& text);

    // RuleScripts
    void runTrigger(const Rule& rule, std::string_view line, const PatternMatch& match,
                    const PatternMatcher& matcher, LineEdit& edit) override;
    std::vector<std::string> runAlias(const Rule& rule, const std::string& line,
                                      const AliasArguments& arguments) override;
    bool wantsLines() const override;
    void line(std::string_view text, bool prompt, LineEdit& edit) override;

private:
    void open(WorldScript::World world);
    void close();
    void runFiles();
    void echo(const std::string& text) { m_services.echo(text, std::nullopt); }

    Services m_services;
    std::string m_settingsPath;
    std::unique_ptr<WorldScript> m_world;
    std::string m_worldName;
    FileWatch* m_fileWatch = nullptr;
    FileWatch::WatchId m_watchId = 0;
};

} // namespace corvane
