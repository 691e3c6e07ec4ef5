#pragma once

#include "core/button_bars.h"
#include "core/command_sender.h"
#include "core/connection.h"
#include "core/game_timer.h"
#include "core/gmcp_messages.h"
#include "core/input_line.h"
#include "core/line_classifier.h"
#include "core/line_processor.h"
#include "core/main_menu.h"
#include "core/msdp_messages.h"
#include "core/vitals_report.h"
#include "core/name_completer.h"
#include "core/output_buffer.h"
#include "core/output_frames.h"
#include "core/output_sink.h"
#include "core/output_window.h"
#include "core/session.h"
#include "core/session_history.h"
#include "core/status_line.h"
#include "core/window_size_report.h"
#include "macros/file_sender.h"
#include "macros/macro_recorder.h"
#include "macros/session_log.h"
#include "macros/session_reset.h"
#include "macros/text_editor.h"
#include "macros/user_macros.h"
#include "mcp/mcp_packages.h"
#include "mcp/mcp_wiring.h"
#include "room/room_windows.h"
#include "rules/key_bindings.h"
#include "rules/rule_system.h"
#include "rules/rules_window.h"
#include "script/client_commands.h"
#include "script/script_state_presenter.h"
#include "script/script_system.h"
#include "settings/client_settings.h"
#include "settings/startup.h"
#include "settings/trigger_set.h"
#include "shell/browser_launch.h"
#include "shell/conversation_wiring.h"
#include "shell/login_setup.h"
#include "shell/main_window_events.h"
#include "shell/main_window_layout.h"
#include "shell/notice_window.h"
#include "shell/play_habits.h"
#include "shell/receive_path.h"
#include "shell/reconnect.h"
#include "shell/server_info_presenter.h"
#include "speech/speech_presenter.h"
#include "speech/status_announcer.h"
#include "worlds/character_login.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

class Announcer;
class Socket;
class Prompts;
class Sound;
class Clock;
class Timers;
class Launcher;
class Clipboard;
class Program;
class ViewFactory;
class Choosers;
class MainWindowView;
class StatusView;
class ButtonBarView;
class InputView;
class OutputView;
class DisplayView;
class NoticeView;
class PlayerListView;
class UserMacrosView;
class UserMacrosPresenter;
class PictureReader;
class PreferencesView;
class PreferencesPresenter;
class SessionHistoryView;
class SessionHistoryPresenter;
class Spelling;

// The platform services the behaviour runs on.
struct Platform {
    Socket& socket;
    Prompts& prompts;
    Sound& sound;
    Clock& clock;
    Timers& timers;
    Launcher& launcher;
    Clipboard& clipboard;
    Program& program;
    ViewFactory& views;
    Choosers& choosers;
    PictureReader& pictures;
};

// The parts of the main window the rules talk to.
struct MainViews {
    MainWindowView& window;
    StatusView& status;
    MenuView& menu;
    ButtonBarView& buttons;
    InputView& input;
    OutputView& output;
    DisplayView& display;
};

struct StartOptions {
    std::string settingsPath;
    std::string dataDir;
    // An address handed over on the command line; the run ends with its connection.
    std::string commandLine;
    // The folder a relative path is read from, the help page that ships with Corvane.
    std::string currentDirectory;
    std::string helpAddress;
    // Corvane's own program, started again for a telnet address in the output.
    std::string programPath = {};
};

// Owns the session and wires the presenters of the main window together. It
// is the composition root: each piece it builds gets only what it needs.
class Client : public MainWindowEvents, private OutputSink {
public:
    Client(Platform& platform, MainViews views, StartOptions options);
    ~Client() override;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Start-up: settings read and applied, then the address book (unless the
    // run starts logged in, see startLoggedIn).
    void start(bool openAddressBook = true);
    // Connects to a stored world and logs a stored character in (the first
    // one when characterName is empty) the way the two dialogs do; returns
    // what went wrong, or nothing.
    std::optional<std::string> startLoggedIn(const std::string& worldName, const std::string& characterName) {
        return m_login.startLoggedIn(worldName, characterName);
    }
    // A quit signal has nobody at the screen: no box may wait for an answer
    // then, so what goes wrong is written to standard error instead.
    enum class ShutdownCause { User, Signal };
    void shutdown(ShutdownCause cause = ShutdownCause::User);

    void FileConnect();
    void GameConnect();
    // Log-in set-up: a character has logged in through the client.
    void loggedIn() { m_login.loggedIn(); }
    NoticeWindow& notice();
    // How often received text is drawn; see OutputFrames.
    void setOutputFrameInterval(std::chrono::milliseconds interval,
                                std::chrono::milliseconds floodInterval = std::chrono::milliseconds(0)) {
        m_frames.setIntervals(interval, floodInterval);
    }

    Session& session() { return m_session; }
    const MainMenu& menu() const { return m_menu; }
    const ButtonBars& buttons() const { return m_buttons; }
    Connection& connection() { return m_connection; }
    CommandSender& sender() { return m_sender; }
    McpPackages& mcp() { return m_mcp; }
    InputLine& inputLine() { return m_input; }
    const StatusLine& statusLine() const { return m_status; }

    void onMenuTriggered(MenuItem item) override;
    void onEditMenuAboutToShow() override;
    void onCommandButton(int index) override;
    void onMacroButton(int index) override;
    bool onInputKey(InputLine::Key key) override;
    bool onBoundKey(const std::string& key) override;
    void onHistoryToggle() override;
    void onHistoryFocusIn() override;
    void onHistoryFocusOut() override;
    void onHistoryEscape() override;
    void onOutputFocusIn() override;
    void onOutputFocusOut() override;
    void onOutputSelectionChanged(bool selected) override;
    void onOutputDoubleClick() override;
    void onOutputLinkClicked(std::uint32_t link) override;
    void onOutputGeometryChanged() override;
    void onWindowResized() override;
    void onStatusLabelClicked(int label) override;
    void onStatusLabelDoubleClicked(int label) override;
    void onActivated() override;
    void onRestored() override;
    bool onCloseRequested() override;
    bool onSpeechKey(SpeechKey key, int nth) override;
    void onApplicationActive(bool active) override;

    ClientSettings& settings() { return m_settings; }
    TriggerSet& triggers() { return m_triggers; }
    LineProcessor& lineProcessor() { return m_processor; }
    ReceivePath& receivePath() { return m_path; }
    LineClassifier& lineClassifier() { return m_classifier; }
    OutputBuffer& outputBuffer() { return m_output; }
    OutputWindow& outputWindow() { return m_outputWindow; }
    GameTimer& gameTimer() { return m_gameTimer; }
    UserMacros& macros() { return m_macros; }
    FileSender& fileSender() { return m_fileSender; }
    // Where the text editor is looked for (VISUAL, EDITOR, PATH, XDG_*).
    void setEnvironment(EnvironmentLookup environment) {
        m_textEditor.setEnvironment(std::move(environment));
    }
    PlayerListView* playerList() { return m_room.playerList(); }
    RoomWindows& room() { return m_room; }
    MainWindowLayout& layout() { return m_layout; }
    BrowserLaunch& browser() { return m_browser; }
    // Edit -> "P&references...": opens the dialog, or brings it to the front.
    void openPreferences();
    PreferencesPresenter* preferences() { return m_preferences.get(); }
    const SessionHistory& sessionHistory() const { return m_history; }
    // Triggers and aliases, and their window (Edit > "Triggers and Aliases", F6).
    RuleSystem& rules() { return m_rules; }
    RulesWindow& rulesWindow() { return m_rulesWindow; }
    // Lua: the connected world's state, its timers, events and vars.
    ScriptSystem& scripts() { return m_scripts; }
    // The Variables and Timers windows.
    ScriptStateWindows& scriptState() { return m_scriptState; }
    // Game > "&Server Info": what the world says about itself.
    ServerInfoPresenter& serverInfo() { return m_serverInfo; }
    // Pages, whispers, puppets and channels in windows of their own.
    Conversations& conversations() { return m_conversations.conversations(); }
    ConversationWiring& conversationWiring() { return m_conversations; }
    // View > "Session &History" (Ctrl+F): one window, brought forward when open.
    void openSessionHistory();
    // The spell checker of the input lines, when the program has one; set before start().
    void setSpelling(Spelling* spelling) { m_spelling = spelling; }
    // The names Corvane has seen, for Tab completion and the spell checker.
    const NameCompleter& names() const { return m_names; }
    // The "Scrollback pane" preference as it now stands, handed to the output box.
    void applyScrollback();
    // Self-voicing on this engine; set before start(). Without it Corvane says nothing.
    void setSpeech(Speech* engine);
    // Null until setSpeech(). Scripts speak through its say().
    SpeechPresenter* speech() { return m_speech.get(); }
    // Where the status line's news goes for a screen reader; null: nowhere.
    void setAnnouncer(Announcer* announcer);

private:
    void ShowOutput(const std::string& text) override;
    void exitProgram();
    // Whether leaving may throw away text the player typed into an MCP editor and did not send.
    bool mayLoseUnsentEdits();
    // Tab in the input line, when names are completed.
    bool completeName();
    // File > "&New Window".
    void openNewWindow();
    // Every orderly way out takes the arrival hook off the character.
    void removeArrivalHook();
    void requestPlayerList(int listMode);
    void closeSessionWindows();
    // Edit > "&User Macros" (F5): one dialog, brought to the front when open.
    void openUserMacros();
    void closeUserMacros();
    void endMacroFiles();
    void closePreferences();
    std::function<void(const std::string&, const std::string&)> noticeHook();
    // For notices that only inform: the status line takes them when chosen.
    std::function<void(const std::string&, const std::string&)> infoNoticeHook();
    // Draws what waits for the output box; returns the lines added.
    std::size_t drawOutput();
    void settingsWriteFailed(const std::string& path, const std::string& reason);
    // A line of a script's own in the output, in its colour if it has one.
    void echo(const std::string& text, std::optional<Rgb> colour);

    Platform& m_platform;
    MainViews m_views;
    StartOptions m_options;
    Session m_session;
    ClientSettings m_settings;
    StatusLine m_status;
    MainMenu m_menu;
    ButtonBars m_buttons;
    CommandSender m_sender;
    McpPackages m_mcp;
    SessionReset m_reset;
    // Declared before the output buffer that feeds it.
    SessionHistory m_history;
    OutputBuffer m_output;
    TriggerSet m_triggers;
    LineClassifier m_classifier;
    LineProcessor m_processor;
    ReceivePath m_path;
    Connection m_connection;
    InputLine m_input;
    FileSender m_fileSender;
    MacroRecorder m_recorder;
    UserMacros m_macros;
    SessionLog m_log;
    TextEditor m_textEditor;
    OutputWindow m_outputWindow;
    GameTimer m_gameTimer;
    CharacterLogin m_characterLogin;
    Reconnect m_reconnect;
    Startup m_startup;
    RoomWindows m_room;
    MainWindowLayout m_layout;
    BrowserLaunch m_browser;
    LoginSetup m_login;
    OutputFrames m_frames;
    WindowSizeReport m_windowSize;
    VitalsReport m_vitals;
    GmcpMessages m_gmcp{m_vitals};
    MsdpMessages m_msdp;
    RuleSystem m_rules;
    ScriptSystem m_scripts;
    KeyBindings m_keys;
    ClientCommands m_commands;
    RulesWindow m_rulesWindow;
    ScriptStateWindows m_scriptState;
    ConversationWiring m_conversations;
    PlayHabits m_habits;
    NameCompleter m_names;
    Spelling* m_spelling = nullptr;
    std::unique_ptr<SpeechPresenter> m_speech;
    std::unique_ptr<StatusAnnouncer> m_announcements;
    McpWiring m_mcpWiring;
    ServerInfoPresenter m_serverInfo;
    // The world picked when the connect dialog last closed.
    int m_addressBookWorld = -1;
    std::unique_ptr<PreferencesView> m_preferencesView;
    std::unique_ptr<PreferencesPresenter> m_preferences;
    bool m_preferencesOpen = false;
    std::unique_ptr<SessionHistoryView> m_historyView;
    std::unique_ptr<SessionHistoryPresenter> m_historyWindow;
    std::unique_ptr<NoticeView> m_noticeView;
    std::unique_ptr<NoticeWindow> m_notice;
    std::unique_ptr<UserMacrosView> m_userMacrosView;
    std::unique_ptr<UserMacrosPresenter> m_userMacros;
    bool m_userMacrosOpen = false;
    std::vector<std::string> m_reportedWriteFailures;
    // The settings file could not even be created, and the user was told so.
    bool m_settingsUnusableReported = false;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_shutDownBySignal = false;
};

} // namespace corvane
