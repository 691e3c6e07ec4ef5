#include "script/script_system.h"

#include "core/session.h"
#include "core/server_kind.h"
#include "rules/imported_scripts.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

ScriptSystem::ScriptSystem(Services services)
    : m_services(std::move(services)) {}

ScriptSystem::~ScriptSystem() = default;

std::string ScriptSystem::worldScriptPath(const std::string& worldName) const {
    if (m_settingsPath.empty()) {
        return {};
    }
    return (std::filesystem::path(ScriptFolderBeside(m_settingsPath)) / (SafeFileName(worldName) + ".lua")).string();
}

std::string ScriptSystem::varsPath(const std::string& worldName) const {
    if (m_settingsPath.empty()) {
        return {};
    }
    return (std::filesystem::path(ScriptFolderBeside(m_settingsPath)) / (SafeFileName(worldName) + ".vars.json"))
        .string();
}

void ScriptSystem::connected(const Session& session) {
    close();
    m_worldName = session.WorldName;
    open(WorldScript::World{session.WorldName, session.CharacterName,
                            std::string(ServerKindName(session.Server))});
    if (m_fileWatch != nullptr && !m_settingsPath.empty()) {
        m_watchId = m_fileWatch->watch(worldScriptPath(m_worldName), [this] { reloadWorldScript(); });
    }
    m_world->dispatch("connect");
}

void ScriptSystem::open(WorldScript::World world) {
    WorldScript::Services services{
        m_services.timers,
        [this](const std::string& text, bool raw) {
            if (raw) {
                m_services.sendGuarded(text);
                return;
            }
            for (const std::string& command : m_services.expand(text)) {
                m_services.sendGuarded(command);
            }
        },
        m_services.echo, m_services.speak, m_services.bind};
    m_world = std::make_unique<WorldScript>(services, std::move(world), varsPath(m_worldName), m_services.clock);
    runFiles();
}

void ScriptSystem::close() {
    if (m_watchId != 0 && m_fileWatch != nullptr) {
        m_fileWatch->unwatch(m_watchId);
    }
    m_watchId = 0;
    if (m_world && m_services.closing) {
        m_services.closing();
    }
    m_world.reset();
}

void ScriptSystem::runFiles() {
    if (m_settingsPath.empty() || !m_world) {
        return;
    }
    std::vector<std::string> problems;
    for (const ImportedScripts::Script& script : ImportedScripts::Beside(m_settingsPath).load(problems)) {
        m_world->run(script.text, script.name);
    }
    for (const std::string& problem : problems) {
        echo("*** Lua error: " + problem);
    }
    const std::string path = worldScriptPath(m_worldName);
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        return;
    }
    if (std::filesystem::file_size(path, code) > ImportedScripts::kMaxBytes) {
        echo("*** Lua error: " + path + ": more than 4 MiB of script; not run");
        return;
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    m_world->run(bytes.str(), std::filesystem::path(path).filename().string());
}

void ScriptSystem::loggedIn(const Session& session) {
    if (m_world) {
        m_world->characterLoggedIn(session.CharacterName);
        m_world->dispatch("login");
    }
}

void ScriptSystem::disconnected() {
    if (!m_world) {
        return;
    }
    m_world->dispatch("disconnect");
    if (const std::string reason = m_world->saveVars(); !reason.empty()) {
        echo("*** Lua error: vars not saved: " + reason);
    }
    close();
}

bool ScriptSystem::runLua(const std::string& code, const std::string& name) {
    if (!m_world) {
        echo("*** Lua needs a connected world");
        return false;
    }
    return m_world->run(code, name);
}

void ScriptSystem::reloadWorldScript() {
    if (!m_world) {
        return;
    }
    // Run again in a fresh state, so handlers and timers the file makes are
    // not doubled; vars are written first and read back.
    const WorldScript::World world = m_world->world();
    if (const std::string reason = m_world->saveVars(); !reason.empty()) {
        echo("*** Lua error: vars not saved: " + reason);
    }
    const FileWatch::WatchId watching = m_watchId;
    m_watchId = 0;
    close();
    m_watchId = watching;
    echo("*** " + std::filesystem::path(worldScriptPath(m_worldName)).filename().string() +
         " changed: the world's scripts run again (vars kept)");
    open(world);
}

void ScriptSystem::importedScriptChanged(const std::string& source) {
    if (!m_world || m_settingsPath.empty()) {
        return;
    }
    const ImportedScripts imports = ImportedScripts::Beside(m_settingsPath);
    std::ifstream file(imports.pathOf(source), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file) {
        m_world->run(bytes.str(), std::filesystem::path(imports.pathOf(source)).filename().string());
    }
}

void ScriptSystem::roomEntered(const std::string& name, int id) {
    if (m_world) {
        m_world->dispatch("room", {name, std::int64_t{id}});
    }
}

void ScriptSystem::gmcp(const std::string& package, std::string_view json) {
    if (m_world) {
        m_world->dispatchGmcp(package, json);
    }
}

void ScriptSystem::msdp(const std::string& name, const nlohmann::json& value) {
    if (m_world) {
        m_world->dispatchJson("msdp", name, &value);
    }
}

void ScriptSystem::conversation(const std::string& name, const std::string& text) {
    if (m_world) {
        m_world->dispatch("conversation", {name, text});
    }
}

void ScriptSystem::runTrigger(const Rule& rule, std::string_view line, const PatternMatch& match,
                              const PatternMatcher& matcher, LineEdit& edit) {
    if (m_world) {
        m_world->runTrigger(rule, line, match, matcher, edit);
    }
}

std::vector<std::string> ScriptSystem::runAlias(const Rule& rule, const std::string& line,
                                                const AliasArguments& arguments) {
    if (!m_world) {
        return {};
    }
    return m_world->runAlias(rule, line, arguments);
}

bool ScriptSystem::wantsLines() const {
    return m_world && (m_world->listensTo("line") || m_world->listensTo("prompt"));
}

void ScriptSystem::line(std::string_view text, bool prompt, LineEdit& edit) {
    if (m_world) {
        m_world->line(text, prompt, edit);
    }
}

} // namespace corvane
