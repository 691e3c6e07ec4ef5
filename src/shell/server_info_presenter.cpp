#include "shell/server_info_presenter.h"

#include "core/main_menu.h"

#include <array>
#include <charconv>
#include <ctime>

namespace corvane {

namespace {

// The facts shown above the table, in this order, under these captions.
struct SummaryName {
    std::string_view variable;
    std::string_view caption;
};
constexpr std::array<SummaryName, 4> kSummary{{
    {"NAME", "Name"},
    {"PLAYERS", "Players"},
    {"UPTIME", "Uptime"},
    {"CODEBASE", "Codebase"},
}};

std::string joined(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& value : values) {
        text += (text.empty() ? "" : ", ") + value;
    }
    return text;
}

std::string dateText(TimePoint when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::strftime(text, sizeof text, " %b %Y at %H:%M UTC", &utc);
    return std::to_string(utc.tm_mday) + text;
}

std::string counted(long long n, std::string_view unit) {
    return std::to_string(n) + " " + std::string(unit) + (n == 1 ? "" : "s");
}

// UPTIME is when the world started, in seconds since 1970: how long it had
// been up when the values came.
std::string uptimeText(const std::string& value, TimePoint received) {
    long long started = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), started);
    const long long now =
        std::chrono::duration_cast<std::chrono::seconds>(received.time_since_epoch()).count();
    if (error != std::errc() || end != value.data() + value.size() || started <= 0 || started > now) {
        return value;
    }
    const long long up = now - started;
    const long long days = up / 86400;
    const long long hours = up % 86400 / 3600;
    const long long minutes = up % 3600 / 60;
    std::string text;
    if (days > 0) {
        text = counted(days, "day") + ", " + counted(hours, "hour");
    } else if (hours > 0) {
        text = counted(hours, "hour") + ", " + counted(minutes, "minute");
    } else if (minutes > 0) {
        text = counted(minutes, "minute");
    } else {
        text = "less than a minute";
    }
    return text + " (since " + dateText(TimePoint(std::chrono::seconds(started))) + ")";
}

bool inSummary(const std::string& name) {
    for (const SummaryName& summary : kSummary) {
        if (name.size() == summary.variable.size() &&
            std::equal(name.begin(), name.end(), summary.variable.begin(),
                       [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; })) {
            return true;
        }
    }
    return false;
}

} // namespace

ServerInfoPresenter::ServerInfoPresenter(Services services)
    : m_services(std::move(services)) {
    m_services.menu.setEnabled(MenuItem::GameServerInfo, false);
}

void ServerInfoPresenter::setSettingsPath(const std::string& settingsPath) {
    m_memory.reset();
    if (!settingsPath.empty()) {
        m_memory = ServerInfoMemory::Beside(settingsPath);
    }
}

ServerInfoPresenter::Shown ServerInfoPresenter::Describe(const std::string& world, const KnownServerInfo& info,
                                                         bool fresh) {
    Shown shown;
    shown.title = world.empty() ? "Server Info" : "Server Info: " + world;
    for (const SummaryName& summary : kSummary) {
        if (const auto* values = info.report.find(summary.variable)) {
            const std::string value =
                summary.variable == "UPTIME" && values->size() == 1 ? uptimeText(values->front(), info.received)
                                                                   : joined(*values);
            shown.summary.push_back({std::string(summary.caption), value});
        }
    }
    for (const MsspVariable& variable : info.report.variables) {
        if (!inSummary(variable.name)) {
            shown.table.push_back({variable.name, joined(variable.values)});
        }
    }
    shown.note = fresh ? "Received " + dateText(info.received) + "."
                       : "From an earlier connection, received " + dateText(info.received) +
                             "; the world has not sent it this time.";
    return shown;
}

void ServerInfoPresenter::connected(const std::string& world) {
    m_world = world;
    m_fresh = false;
    m_told = false;
    m_keptAt.reset();
    m_info.reset();
    if (m_memory && !world.empty()) {
        m_info = m_memory->recall(world);
    }
    m_services.menu.setEnabled(MenuItem::GameServerInfo, m_info.has_value());
}

void ServerInfoPresenter::received(std::string_view payload) {
    MsspReport report = MsspReport::Read(payload);
    if (report.cut) {
        tellOnce("*** The world's server information (MSSP) was too long: Game > Server Info shows the first "
                 "part of it.");
    }
    if (report.variables.empty()) {
        return;
    }
    m_info = KnownServerInfo{std::move(report), m_services.clock.now()};
    m_fresh = true;
    m_services.menu.setEnabled(MenuItem::GameServerInfo, true);
    // A world that repeats itself does not keep the disk busy.
    const TimePoint now = m_info->received;
    if (m_memory && !m_world.empty() && (!m_keptAt || now - *m_keptAt >= kKeepInterval)) {
        m_keptAt = now;
        std::string reason;
        if (!m_memory->keep(m_world, *m_info, reason) && !m_toldKeepFailed) {
            m_toldKeepFailed = true;
            m_services.notice("*** The world's server information could not be kept for next time: " + reason);
        }
    }
    if (m_view) {
        show();
    }
}

void ServerInfoPresenter::dropped() {
    tellOnce("*** The world's server information (MSSP) was too long to read; it was left out.");
}

void ServerInfoPresenter::tellOnce(const std::string& line) {
    if (!m_told) {
        m_told = true;
        m_services.notice(line);
    }
}

void ServerInfoPresenter::disconnected() {
    m_info.reset();
    m_world.clear();
    m_services.menu.setEnabled(MenuItem::GameServerInfo, false);
    if (m_view) {
        m_view->closeWindow();
    }
}

void ServerInfoPresenter::open() {
    if (!m_info) {
        return;
    }
    if (!m_view && m_factory) {
        m_view = m_factory();
    }
    if (m_view) {
        show();
        m_view->showWindow();
    }
}

void ServerInfoPresenter::show() {
    const Shown shown = Describe(m_world, *m_info, m_fresh);
    m_view->setTitle(shown.title);
    m_view->setSummary(shown.summary);
    m_view->setTable(shown.table);
    m_view->setNote(shown.note);
}

} // namespace corvane
