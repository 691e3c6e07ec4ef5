#include "script/script_state_presenter.h"

#include "script/script_system.h"

#include <cmath>
#include <cstdio>

namespace corvane {

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

} // namespace

ScriptStatePresenter::ScriptStatePresenter(ScriptStateView& view, ScriptSystem& scripts, const Clock& clock,
                                           Kind kind)
    : m_view(view)
    , m_scripts(scripts)
    , m_clock(clock)
    , m_kind(kind) {}

void ScriptStatePresenter::open() {
    m_view.setKind(m_kind);
    m_view.setMessage("");
    refresh();
    m_view.showWindow();
}

void ScriptStatePresenter::refresh() {
    m_rows.clear();
    m_handles.clear();
    WorldScript* world = m_scripts.world();
    m_view.setEditEnabled(world != nullptr);
    if (world == nullptr) {
        m_view.setRows({});
        m_view.setMessage("Variables and timers live in a connected world's scripts: connect first.");
        return;
    }
    if (m_kind == Kind::Variables) {
        for (const auto& [name, value] : world->variables()) {
            m_rows.push_back({name, value});
        }
    } else {
        const TimePoint now = m_clock.now();
        for (const WorldScript::TimerInfo& timer : world->timers()) {
            const double left =
                std::max(0.0, std::chrono::duration<double>(timer.due - now).count());
            m_rows.push_back({timer.name.empty() ? "#" + std::to_string(timer.handle) : timer.name,
                              (timer.repeating ? "every " + seconds(timer.seconds) + ", next in "
                                               : "once, in ") +
                                  seconds(left)});
            m_handles.push_back(timer.handle);
        }
    }
    m_view.setRows(m_rows);
}

void ScriptStatePresenter::onRowSelected(int row) {
    if (m_kind != Kind::Variables || row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) {
        return;
    }
    m_view.setName(m_rows[static_cast<std::size_t>(row)].name);
    m_view.setValue(m_rows[static_cast<std::size_t>(row)].value);
}

void ScriptStatePresenter::onSet() {
    WorldScript* world = m_scripts.world();
    if (m_kind != Kind::Variables || world == nullptr) {
        return;
    }
    const std::string name = m_view.name();
    if (name.empty()) {
        m_view.setMessage("Type the variable's name.");
        return;
    }
    if (m_view.value().empty()) {
        m_view.setMessage("Type a value (a word, a number, or JSON such as {\"hp\": 5}); Remove takes it away.");
        return;
    }
    world->setVariable(name, m_view.value());
    refresh();
    m_view.setMessage("vars." + name + " set.");
}

void ScriptStatePresenter::onRemove() {
    WorldScript* world = m_scripts.world();
    if (world == nullptr) {
        return;
    }
    if (m_kind == Kind::Variables) {
        const std::string name = m_view.name();
        if (name.empty()) {
            m_view.setMessage("Choose or type the variable to remove.");
            return;
        }
        world->setVariable(name, "");
        refresh();
        m_view.setMessage("vars." + name + " removed.");
        return;
    }
    const int row = m_view.selectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_handles.size()) {
        m_view.setMessage("Choose the timer to cancel.");
        return;
    }
    const std::string name = m_rows[static_cast<std::size_t>(row)].name;
    world->cancelTimer(m_handles[static_cast<std::size_t>(row)]);
    refresh();
    m_view.setMessage("Timer " + name + " cancelled.");
}

void ScriptStatePresenter::onRefresh() {
    if (m_scripts.world() != nullptr) {
        m_view.setMessage("");
    }
    refresh();
}

void ScriptStateWindows::open(ScriptStateView::Kind kind) {
    Window& window = m_windows[index(kind)];
    if (!window.view) {
        if (!m_factory) {
            return;
        }
        window.view = m_factory();
        if (!window.view) {
            return;
        }
        window.presenter = std::make_unique<ScriptStatePresenter>(*window.view, m_scripts, m_clock, kind);
        window.view->setEvents(window.presenter.get());
    }
    window.presenter->open();
}

} // namespace corvane
