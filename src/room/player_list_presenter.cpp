#include "room/player_list_presenter.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/line_classifier.h"
#include "core/session.h"
#include "settings/settings.h"
#include "platform/view_factory.h"

namespace corvane {

namespace {

constexpr std::array<const char*, kPlayerButtons> kDefaultCommands = {"look", "where", "laston",
                                                                      "whospe #far", "pinfo"};

void setDefaultCommands(std::array<std::string, kPlayerButtons>& commands) {
    for (std::size_t i = 0; i < commands.size(); ++i) {
        commands[i] = kDefaultCommands[i];
    }
}

} // namespace

PlayerListPresenter::PlayerListPresenter(Session& session, CommandSender& sender, LineClassifier& classifier,
                                         ViewFactory& views, std::function<void()> focusInput)
    : m_session(session)
    , m_sender(sender)
    , m_classifier(classifier)
    , m_views(views)
    , m_focusInput(std::move(focusInput)) {
    setDefaultCommands(m_commands);
}

PlayerListPresenter::~PlayerListPresenter() {
    if (m_view) {
        m_classifier.setPlayerList(nullptr);
        m_view->setEvents(nullptr);
    }
}

PlayerListView& PlayerListPresenter::window() {
    if (!m_view) {
        m_view = m_views.createPlayerListView();
        m_view->setEvents(this);
        m_classifier.setPlayerList(m_view.get());
    }
    return *m_view;
}

void PlayerListPresenter::SetUpPlayerButtons(const std::string& settingsPath) {
    PlayerListView& view = window();
    setDefaultCommands(m_commands);
    // The window outlives a session; it gets the captions of a fresh one, and
    // buttons a listing before the log-in disabled work again.
    view.setPlayerButtonsEnabled(true);
    for (int i = 0; i < kPlayerButtons; ++i) {
        view.setPlayerButtonCaption(i, kDefaultPlayerCaptions[static_cast<std::size_t>(i)]);
        const std::string value =
            ReadSetting(m_session.WorldName, "Player " + std::to_string(i + 1), settingsPath);
        const std::size_t comma = value.find(',');
        if (comma == std::string::npos || comma == 0) {
            continue;
        }
        view.setPlayerButtonCaption(i, value.substr(0, comma));
        m_commands[static_cast<std::size_t>(i)] = value.substr(comma + 1);
    }
}

void PlayerListPresenter::close() {
    m_selected.clear();
    if (m_view) {
        m_view->hideWindow();
    }
}

void PlayerListPresenter::onEntryPicked(PlayerKind list, const std::string& entry) {
    if (list == PlayerKind::Idle) {
        // "Fern [12m]": the name with the blank before the idle time.
        const std::size_t bracket = entry.find('[');
        m_selected = bracket == std::string::npos ? std::string() : entry.substr(0, bracket);
    } else {
        m_selected = entry;
    }
}

void PlayerListPresenter::onEntryActivated(PlayerKind list, const std::string& entry) {
    onEntryPicked(list, entry);
    onPlayerButton(0);
}

void PlayerListPresenter::onListFocused(PlayerKind list) {
    if (!m_view) {
        return;
    }
    for (PlayerKind other : {PlayerKind::Awake, PlayerKind::Asleep, PlayerKind::Idle, PlayerKind::Puppet}) {
        if (other != list) {
            m_view->clearSelection(other);
        }
    }
}

void PlayerListPresenter::onPlayerButton(int index) {
    if (m_selected.empty() || index < 0 || index >= kPlayerButtons || !m_view) {
        return;
    }
    const std::string command = m_commands[static_cast<std::size_t>(index)] + " " + m_selected;
    m_view->setCommandText(command);
    m_view->setCommandLabelVisible(true);
    m_sender.SendCommand(command + std::string(LineFeed));
    m_sender.NoteCommandSent();
}

void PlayerListPresenter::onDone() {
    close();
    if (m_focusInput) {
        m_focusInput();
    }
}

void PlayerListPresenter::onClosed() {
    // The window has already gone; like "&Done", the pick goes with it.
    m_selected.clear();
    if (m_focusInput) {
        m_focusInput();
    }
}

} // namespace corvane
