#pragma once

#include "platform/clock.h"
#include "shell/server_info_memory.h"
#include "shell/server_info_view.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class MainMenu;

// Game > Server Info: what the connected world says about itself (MSSP),
// or what it said on an earlier connection, with when it was received. The
// menu item is there while connected to a world that has said something.
class ServerInfoPresenter {
public:
    using ViewFactory = std::function<std::unique_ptr<ServerInfoView>()>;
    struct Services {
        MainMenu& menu;
        const Clock& clock;
        // A line of the client's own for the main output.
        std::function<void(const std::string& line)> notice;
    };
    struct Shown {
        std::string title;
        std::vector<ServerInfoView::Row> summary;
        std::vector<ServerInfoView::Row> table;
        std::string note;
    };

    // Reports after the first of a connection are remembered at most this often.
    static constexpr std::chrono::minutes kKeepInterval{5};

    explicit ServerInfoPresenter(Services services);
    void setViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    // Where the values are remembered; none are when empty.
    void setSettingsPath(const std::string& settingsPath);

    void connected(const std::string& world);
    // One MSSP subnegotiation of the connected world.
    void received(std::string_view payload);
    // One too long to read was left out.
    void dropped();
    void disconnected();
    void open();

    bool known() const { return m_info.has_value(); }
    // What the window shows of `info`; `fresh` when this connection sent it.
    static Shown Describe(const std::string& world, const KnownServerInfo& info, bool fresh);

private:
    void show();
    void tellOnce(const std::string& line);

    Services m_services;
    ViewFactory m_factory;
    std::unique_ptr<ServerInfoView> m_view;
    std::optional<ServerInfoMemory> m_memory;
    std::string m_world;
    std::optional<KnownServerInfo> m_info;
    bool m_fresh = false;
    std::optional<TimePoint> m_keptAt;
    bool m_told = false;
    bool m_toldKeepFailed = false;
};

} // namespace corvane
