#pragma once

#include "core/button_bars.h"
#include "core/command_sender.h"
#include "core/connection.h"
#include "core/input_line.h"
#include "core/line_classifier.h"
#include "core/line_processor.h"
#include "core/main_menu.h"
#include "core/output_buffer.h"
#include "core/output_sink.h"
#include "core/output_window.h"
#include "core/session.h"
#include "core/status_line.h"
#include "macros/session_reset.h"
#include "settings/client_settings.h"
#include "settings/trigger_set.h"
#include "shell/main_window_events.h"

#include <string>

namespace corvane {

class Socket;
class Prompts;
class Sound;
class Clock;
class Timers;
class Launcher;
class Clipboard;
class Program;
class ViewFactory;
class MainWindowView;
class StatusView;
class ButtonBarView;
class InputView;
class OutputView;

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
};

// The parts of the main window the rules talk to.
struct MainViews {
    MainWindowView& window;
    StatusView& status;
    MenuView& menu;
    ButtonBarView& buttons;
    InputView& input;
    OutputView& output;
};

struct StartOptions {
    std::string settingsPath;
    std::string dataDir;
    // An address handed over on the command line; the run ends with its connection.
    std::string commandLine;
};

// Owns the session and wires the presenters of the main window together. It
// is the composition root: each piece it builds gets only what it needs.
class Client : public MainWindowEvents, private OutputSink {
public:
    Client(Platform& platform, MainViews views, StartOptions options);

    void start();
    void shutdown();

    void FileConnect();

    Session& session() { return m_session; }
    const MainMenu& menu() const { return m_menu; }
    const ButtonBars& buttons() const { return m_buttons; }
    Connection& connection() { return m_connection; }
    CommandSender& sender() { return m_sender; }
    InputLine& inputLine() { return m_input; }
    const StatusLine& statusLine() const { return m_status; }

    void onMenuTriggered(MenuItem item) override;
    void onFileMenuAboutToShow() override;
    void onEditMenuAboutToShow() override;
    void onCommandButton(int index) override;
    void onMacroButton(int index) override;
    bool onInputKey(InputLine::Key key) override;
    void onHistoryToggle() override;
    void onHistoryFocusIn() override;
    void onHistoryFocusOut() override;
    void onHistoryEscape() override;
    void onOutputFocusIn() override;
    void onOutputFocusOut() override;
    void onOutputDoubleClick() override;
    void onOutputGeometryChanged() override;
    void onCloseRequested() override;

    ClientSettings& settings() { return m_settings; }
    TriggerSet& triggers() { return m_triggers; }
    LineProcessor& lineProcessor() { return m_processor; }
    LineClassifier& lineClassifier() { return m_classifier; }
    OutputBuffer& outputBuffer() { return m_output; }
    OutputWindow& outputWindow() { return m_outputWindow; }

private:
    void ShowOutput(const std::string& text) override;
    void exitProgram();

    Platform& m_platform;
    MainViews m_views;
    StartOptions m_options;
    Session m_session;
    ClientSettings m_settings;
    StatusLine m_status;
    MainMenu m_menu;
    ButtonBars m_buttons;
    CommandSender m_sender;
    SessionReset m_reset;
    OutputBuffer m_output;
    TriggerSet m_triggers;
    LineClassifier m_classifier;
    LineProcessor m_processor;
    Connection m_connection;
    InputLine m_input;
    OutputWindow m_outputWindow;
    bool m_shutDown = false;
};

} // namespace corvane
