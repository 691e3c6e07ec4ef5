#include "shell/client.h"

#include "core/constants.h"
#include "core/display_view.h"
#include "speech/speech_settings.h"
#include "core/input_view.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "macros/upload.h"
#include "macros/user_macros_presenter.h"
#include "macros/user_macros_view.h"
#include "platform/launcher.h"
#include "platform/program.h"
#include "platform/prompts.h"
#include "platform/socket.h"
#include "platform/sound.h"
#include "platform/view_factory.h"
#include "settings/default_settings.h"
#include "settings/locked_file.h"
#include "settings/settings.h"
#include "script/lua_state.h"
#include "settings/unusable_settings.h"
#include "shell/main_layout_view.h"
#include "shell/notice_view.h"
#include "shell/preferences_presenter.h"
#include "shell/preferences_view.h"
#include "shell/session_history_presenter.h"
#include "shell/spell_choice.h"
#include "worlds/address_book_presenter.h"
#include "worlds/certificate_trust.h"

#include <algorithm>
#include <iostream>

namespace corvane {

namespace {
const std::string kNoticeTitle = "Corvane ver. " + std::string(VersionText);
constexpr const char* kSettingsBusyStatus = "The settings file is busy; changes will be saved when it is free";
constexpr std::chrono::milliseconds kSettingsFlushWait{400};
} // namespace

Client::Client(Platform& platform, MainViews views, StartOptions options)
    : m_platform(platform)
    , m_views(views)
    , m_options(std::move(options))
    , m_status(views.status)
    , m_menu(views.menu)
    , m_buttons(views.buttons)
    , m_sender(m_session, platform.socket, m_status, platform.prompts, m_menu)
    , m_mcp(McpPackages::Services{m_session, m_sender, platform.views, platform.prompts, m_status, *this,
                                  platform.timers})
    , m_reset(m_session, m_menu, m_buttons, views.window, platform.program, !m_options.commandLine.empty())
    , m_output(views.output)
    , m_classifier(m_session, m_status, views.status, views.window)
    , m_processor(m_session, m_settings, platform.socket, platform.sound, m_triggers, m_classifier, m_output,
                  views.window)
    , m_path(m_session, platform.socket, m_processor,
             ReceivePath::Hooks{[this](std::string_view bytes) { m_outputWindow.textHeld(bytes); },
                                [this] {
                                    ShowOutput(std::string(NewLine) +
                                               "*** The world's compressed stream is corrupt; disconnected." +
                                               std::string(NewLine));
                                    m_connection.DisconnectFromWorld();
                                }})
    , m_connection(m_session, platform.socket, m_sender, m_status, *this, platform.prompts, platform.sound,
                   Connection::Hooks{[this](std::string_view bytes) { m_path.received(bytes); },
                                     [this] {
                                         m_input.setWorldEchoes(false);
                                         m_scripts.disconnected();
                                         m_serverInfo.disconnected();
                                         m_reset.ResetSession();
                                     },
                                     [this] { FileConnect(); },
                                     [this] {
                                         m_path.reset();
                                         m_mcp.connectionStarted(m_options.settingsPath);
                                         m_processor.setMxpAccepted(
                                             WorldSpeaksMxp(m_session.WorldName, m_options.settingsPath));
                                         // Rooms come by GMCP or MSDP only from worlds that are MUDs.
                                         for (const unsigned char option : {telnet_option::Gmcp, telnet_option::Msdp}) {
                                             m_processor.telnet().setAccepted(option, TelnetFilter::Side::Remote,
                                                                              m_session.Server == ServerKind::Mud);
                                         }
                                         m_msdp.reset();
                                         m_vitals.clear();
                                         m_room.exitsKnown({});
                                         // One world at a time; the session reset enables it again.
                                         m_menu.setEnabled(MenuItem::FileConnect, false);
                                         m_scripts.connected(m_session);
                                         m_serverInfo.connected(m_session.WorldName);
                                     },
                                     [this] { return !m_options.commandLine.empty(); },
                                     [this](const PeerCertificate& certificate) {
                                         return CertificateTrust(m_platform.views, m_options.settingsPath)
                                             .decide(m_session.WorldName, certificate);
                                     },
                                     [this] { return m_settings.Play[PlayOption::ClosedInOutput]; }})
    , m_input(m_session, views.input, m_sender, m_menu, platform.sound)
    , m_fileSender(m_session, m_sender, m_status, views.input, platform.timers, platform.socket, platform.clock)
    , m_recorder(m_session, m_status, platform.prompts)
    , m_macros(m_session, m_buttons, m_fileSender, m_options.settingsPath)
    , m_log(m_session, m_menu, m_buttons, views.status, platform.choosers, platform.prompts, platform.timers)
    , m_textEditor(platform.launcher, platform.prompts, ProcessEnvironment())
    , m_outputWindow(
          m_session, m_settings, views.output, m_output, m_status, views.input, platform.clipboard, m_menu,
          OutputWindow::Hooks{[this] { m_path.outputResumed(); },
                              [this](const std::string& address) { m_browser.OpenInBrowser(address); },
                              [this] { return m_settings.Play[PlayOption::PauseOnlySelecting]; },
                              [this] { return m_path.heldLines(); }})
    , m_gameTimer(m_session, m_status, views.status, m_menu, m_sender, platform.clock)
    , m_characterLogin(m_session, m_sender, platform.prompts, platform.sound, platform.views,
                       m_options.settingsPath)
    , m_reconnect(m_menu)
    , m_startup(m_settings, views.display)
    , m_room(RoomWindows::Services{m_session, m_settings, m_menu, m_buttons, m_status, m_sender, m_classifier,
                                   m_gameTimer, platform.prompts, platform.choosers, platform.timers,
                                   platform.clock, platform.views, platform.pictures, views.input},
             noticeHook())
    , m_layout(m_settings, views.display.layoutView(), views.display, views.output, views.window, m_menu,
               MainWindowLayout::Hooks{infoNoticeHook(), [this] { return m_login.sessionCaption(); },
                                       [this] {
                                           m_outputWindow.updateGeometry(m_layout.OutputWidth());
                                           m_windowSize.sizeChanged(m_settings.CharsPerLine,
                                                                    std::max(m_views.output.visibleRows(), 1));
                                       }})
    , m_browser(m_settings, platform.launcher, platform.prompts,
                BrowserLaunch::Self{m_options.programPath, m_options.settingsPath},
                BrowserLaunch::Hooks{noticeHook()})
    , m_login(LoginSetup::Parts{m_session, m_menu, m_buttons, views.window, views.display, m_macros, m_room,
                                m_triggers, m_processor, m_gameTimer, m_reset, m_reconnect, m_connection,
                                m_sender, platform.prompts, m_options.settingsPath})
    , m_frames(
          platform.clock, platform.timers, [this] { return drawOutput(); },
          [this] { return m_views.output.visibleRows(); })
    , m_windowSize(platform.timers,
                   [this](int columns, int rows) { m_processor.windowResized(columns, rows); })
    , m_msdp(m_session, m_vitals)
    , m_rules(RuleSystem::Services{
          m_session, platform.sound, m_status, m_history, platform.timers, platform.clock, platform.prompts,
          [this](const std::string& command) { m_sender.SendCommand(command + std::string(NewLine)); },
          [this](const std::string& text) { m_platform.timers.post([this, text] { ShowOutput(text + "\r\n"); }); }})
    , m_scripts(ScriptSystem::Services{
          platform.timers, platform.clock,
          [this](const std::string& command) { m_rules.triggers().sendCommand(command); },
          [this](const std::string& line) { return m_rules.aliases().expand(line); },
          [this](const std::string& text, std::optional<Rgb> colour) { echo(text, colour); },
          [this](const std::string& text, bool interrupt, const std::string& voice) {
              if (m_speech) {
                  m_speech->say(text, interrupt, voice);
              }
          },
          [this](const std::string& key, const std::string& command, int handler) {
              return m_keys.bindFromScript(key, command, handler);
          },
          [this] { m_keys.scriptClosed(); }})
    , m_keys(m_rules.book(), m_session, [this] { return m_settings.Play[PlayOption::KeypadMoves]; })
    , m_commands(ClientCommands::Services{m_rules.aliases(), m_scripts, m_rules.book(), m_session,
                                          [this] { return m_settings.Play.commandPrefix; },
                                          [this](const std::string& text) {
                                              // A report's lines each on a line of their own.
                                              std::size_t start = 0;
                                              while (start < text.size()) {
                                                  std::size_t end = text.find('\r', start);
                                                  end = end == std::string::npos ? text.size() : end;
                                                  if (end > start) {
                                                      echo(text.substr(start, end - start), std::nullopt);
                                                  }
                                                  start = end + 1;
                                              }
                                          },
                                          [this](const std::string& path,
                                                 std::function<void(const std::string&)> report) {
                                              if (!m_rulesWindow.importFrom(path, report)) {
                                                  report("*** Corvane is still importing " +
                                                         m_rulesWindow.importing() +
                                                         "; load another file when it is done.");
                                              }
                                          }})
    , m_rulesWindow(
          RulesWindow::Services{m_rules, m_session, platform.choosers, platform.prompts, platform.timers})
    , m_scriptState(m_scripts, platform.clock)
    , m_conversations(ConversationWiring::Parts{
          m_settings, m_session, m_history, platform.sound, platform.clock, platform.views, m_menu, m_sender,
          m_browser,
          platform.prompts,
          [this](const std::string& text) { m_platform.timers.post([this, text] { ShowOutput(text + "\r\n"); }); },
          m_options.settingsPath})
    , m_habits(PlayHabits::Parts{m_settings, m_session, m_status, platform.timers, m_log,
                                 [this](const std::string& text) { ShowOutput(text); },
                                 [this](const std::string& line, std::int32_t colour) {
                                     TextLine shown{line, {}, true};
                                     TextStyle style;
                                     style.foreground = Rgb::fromColourValue(colour);
                                     shown.spans.push_back(
                                         StyleSpan{0, static_cast<std::uint32_t>(line.size()), style});
                                     m_output.showLine(shown, -1);
                                     ShowOutput("");
                                 }})
    , m_mcpWiring(McpWiring::Parts{m_mcp, m_menu, m_history, m_textEditor, m_options.settingsPath,
                                   [this] { m_frames.changed(); }})
    , m_serverInfo(ServerInfoPresenter::Services{
          m_menu, platform.clock, [this](const std::string& line) {
              m_platform.timers.post([this, line] { ShowOutput(line + std::string(NewLine)); });
          }}) {
    m_settings.SettingsPath = m_options.settingsPath;
    m_serverInfo.setSettingsPath(m_options.settingsPath);
    m_output.setHistory(&m_history);
    m_views.output.setLinks(&m_processor.mxpLinks());
    m_triggers.clearActive();
    m_processor.setHooks({noticeHook(), [this] {
                              m_msdp.readEnded();
                              m_frames.changed();
                          },
                          [this](const std::string& text, bool prompt) { m_mcp.worldLine(text, prompt); },
                          [this](const std::string& line) {
                              m_names.learnFromLine(line);
                              m_room.lineShown(line);
                          },
                          [this](const std::string& text) { m_sender.promptedLogin().promptShown(text); }});
    m_sender.setSentHook([this] { m_processor.commandSent(); });
    m_classifier.setHooks(
        {[this] { m_room.roomChanged(); }, [this](const std::string& name) { m_names.addName(name); }});
    m_classifier.setTimers(&platform.timers);
    m_gameTimer.setHooks({[this](const std::string& text) { infoNoticeHook()(kNoticeTitle, text); }});
    m_reset.setHooks(SessionReset::Hooks{
        [this] { m_log.pressLogButton(); },
        [this] { closeSessionWindows(); },
        [this] { m_gameTimer.toggleLagCounter(); },
        [this] { m_gameTimer.toggleGameClock(); },
        [this] { endMacroFiles(); },
        [this] { m_reconnect.sessionEnded(); },
    });
    conversations().setNext(&m_rules.triggers());
    m_path.setLineStages({&m_mcp.link(), &m_sender.ownAnswers(), &conversations(), &m_log});
    conversations().setRoutedHook(
        [this](const std::string& name, const std::string& text) { m_scripts.conversation(name, text); });
    m_input.setExpander(&m_commands);
    m_rules.triggers().setScripts(&m_scripts);
    m_rules.aliases().setScripts(&m_scripts);
    m_rulesWindow.setScriptCheck([](const std::string& script, const std::string& name) {
        return LuaState::Compile(script, "rule " + name);
    });
    m_rulesWindow.setScriptStateHook([this](int which) {
        m_scriptState.open(which == 1 ? ScriptStateView::Kind::Timers : ScriptStateView::Kind::Variables);
    });
    m_rulesWindow.setScriptStoredHook([this](const std::string& source) { m_scripts.importedScriptChanged(source); });
    m_login.setLoggedInHook([this] { m_scripts.loggedIn(m_session); });
    m_keys.setHandlerReleased([this](int handler) {
        if (m_scripts.world() != nullptr) {
            m_scripts.world()->releaseHandler(handler);
        }
    });
    m_rules.aliases().setSpeedwalk([this] { return m_settings.Play[PlayOption::Speedwalk]; });
    m_rules.aliases().setSplitTyped([this] { return m_settings.Play[PlayOption::SplitTyped]; });
    m_processor.setUtf8Seen([this] { m_sender.worldSentUtf8(); });
    m_processor.setTimers(&platform.timers);
    m_processor.setNonUtf8Seen([this] { m_sender.worldSentNonUtf8(); });
    m_processor.telnetOptions().setEvents(
        {[this](bool echoes) {
             m_input.setWorldEchoes(echoes);
             m_sender.promptedLogin().worldEchoes(echoes);
         },
         [this](std::string_view name, std::string_view json) {
             m_gmcp.message(name, json);
             m_scripts.gmcp(std::string(name), json);
         },
         [this](std::string_view name) { m_gmcp.dropped(name); },
         [this](std::string_view payload) { m_serverInfo.received(payload); },
         [this](unsigned char option) {
             if (option == telnet_option::Mssp) {
                 m_serverInfo.dropped();
             } else if (option == telnet_option::Msdp) {
                 m_msdp.dropped();
             }
         },
         [this](std::string_view payload) { m_msdp.received(payload); }});
    const auto roomEntered = [this](const GmcpMessages::RoomInfo& room) {
        // Entering the room forgets the last room's exits.
        m_classifier.roomEntered(room.number, room.name);
        m_room.exitsKnown(room.exits);
        m_scripts.roomEntered(room.name, room.number);
    };
    const auto vitals = [this](const std::string& text) { m_status.SetVitals(text); };
    const auto notice = [this](const std::string& line) {
        m_platform.timers.post([this, line] { ShowOutput(line + "\r\n"); });
    };
    m_gmcp.setEvents({roomEntered, vitals,
                      [this](const GmcpMessages::ChannelText& text) {
                          conversations().channelText(text.channel, text.talker, text.text);
                      },
                      notice});
    m_msdp.setEvents({roomEntered, [this](const std::string& name) { m_classifier.roomNamed(name); },
                      [this](std::vector<std::string> exits) { m_room.exitsKnown(std::move(exits)); }, vitals,
                      [this](const std::string& name, const nlohmann::json& value) { m_scripts.msdp(name, value); },
                      notice});
    m_input.setRecorder(&m_recorder);
    m_input.setRecall([this] { return m_settings.Play[PlayOption::RecallCommands]; });
    m_input.setSentHook([this](const std::string& line) {
        m_habits.lineSent(line);
        if (m_speech) {
            m_speech->lineSent(line);
        }
    });
    m_sender.setUnsentHook([this](const std::string& characters) {
        m_habits.passingNotice("Sent as \"?\": " + characters +
                               " (this world is sent Windows-1252 until it shows UTF-8; see Encoding in "
                               "the connect dialog)");
    });
    m_input.setTabHandler([this] { return completeName(); });
    m_log.setOptions(&m_settings.Play, &platform.clock);
    m_macros.setNoticeHook(noticeHook());
    m_recorder.setStoppedHook([this] {
        if (m_userMacros) {
            m_userMacros->recordingStopped();
        }
    });
    if (!m_options.settingsPath.empty()) {
        SetSettingsWriteFailureHandler([this](const std::string& path, const std::string& reason) {
            settingsWriteFailed(path, reason);
        });
        SetSettingsWaitHooks({[this](std::chrono::milliseconds delay,
                                     std::function<void()> retry) { m_platform.timers.startSingleShot(delay, retry); },
                              [this] { m_status.SetStatus(kSettingsBusyStatus); }});
    }
}

Client::~Client() {
    // What goes while the parts are taken down is no news to a screen reader.
    m_status.setWatcher({});
    closeUserMacros();
    m_userMacros.reset();
    m_userMacrosView.reset();
    m_preferences.reset();
    m_preferencesView.reset();
    if (!m_options.settingsPath.empty()) {
        SetSettingsWriteFailureHandler({});
        SetSettingsWaitHooks({});
    }
}

void Client::settingsWriteFailed(const std::string& path, const std::string& reason) {
    // Once per kind of failure: a read-only file would otherwise raise a box
    // for every setting written after it. A file that could not be created
    // has been reported already.
    if (m_settingsUnusableReported) {
        return;
    }
    if (std::find(m_reportedWriteFailures.begin(), m_reportedWriteFailures.end(), reason) !=
        m_reportedWriteFailures.end()) {
        return;
    }
    m_reportedWriteFailures.push_back(reason);
    if (m_shutDownBySignal) {
        std::cerr << "corvane: could not save settings to " << path << ": " << reason << "\n";
        return;
    }
    m_platform.prompts.message("Corvane could not save its settings to\r" + path + "\r\r" + reason +
                                   ".\rThe file was left as it was; changes made now will not be kept.",
                               "Corvane Error", PromptIcon::Exclamation);
}

void Client::start(bool openAddressBook) {
    m_started = true;
    m_views.window.setCaption(ProgramCaption());
    m_status.SetStatus(status::OffLine);
    for (MenuItem item :
         {MenuItem::FileCloseLog, MenuItem::FileUpload, MenuItem::EditUserMacros, MenuItem::ViewDirections,
          MenuItem::ViewLagCounter, MenuItem::ViewPicture, MenuItem::ViewInfo, MenuItem::ViewWhoIsHere,
          MenuItem::ViewWhoIsOn, MenuItem::GameQuit, MenuItem::GameGoHome}) {
        m_menu.setEnabled(item, false);
    }
    m_menu.setEnabled(MenuItem::GameConnect, true);
    m_menu.setChecked(MenuItem::ViewCommand, true);
    m_menu.setChecked(MenuItem::ViewMacro, true);
    for (int i = 0; i < kButtonsPerBar; ++i) {
        m_buttons.setEnabled(Bar::Command, i, i == command_button::Log);
        m_buttons.setEnabled(Bar::Macro, i, false);
    }

    if (!m_options.settingsPath.empty()) {
        RemoveStaleTemporaryFiles(m_options.settingsPath);
        SetAsideUnusableSettings(m_options.settingsPath, m_platform.clock.now(), m_platform.prompts);
        if (!FileExists(m_options.settingsPath) &&
            !CreateDefaultSettings(m_options.settingsPath, m_options.dataDir, m_platform.prompts)) {
            m_settingsUnusableReported = true;
        }
        m_startup.readGlobals(m_options.currentDirectory, m_options.helpAddress);
        const Startup::HiddenBars hidden = m_startup.restoreWindow();
        if (hidden.commandBar) {
            m_layout.toggleBar(MenuItem::ViewCommand);
        }
        if (hidden.macroBar) {
            m_layout.toggleBar(MenuItem::ViewMacro);
        }
        m_startup.readFont();
    }
    applyScrollback();
    if (m_speech && !m_options.settingsPath.empty()) {
        m_speech->apply(ReadSpeechSettings(m_options.settingsPath));
    }
    m_mcpWiring.start();
    m_layout.ApplyDisplaySettings();
    m_layout.ArrangeMainWindow();
    if (!m_options.settingsPath.empty()) {
        m_startup.readMaxLines();
        m_layout.updateLineLimit();
        m_startup.readColours();
    }
    m_rules.load(m_options.settingsPath);
    m_scripts.setSettingsPath(m_options.settingsPath);
    if (m_spelling != nullptr) {
        if (const std::string problem = ApplySpellChoice(m_settings.Play, *m_spelling); !problem.empty()) {
            ShowOutput("*** Spell check is off: " + problem + std::string(NewLine));
        }
    }
    m_conversations.load();
    m_platform.timers.startRepeating(std::chrono::seconds(1), [this] { m_gameTimer.tick(); });
    if (openAddressBook) {
        FileConnect();
    }
}

void Client::FileConnect() {
    auto view = m_platform.views.createAddressBookView();
    AddressBookPresenter presenter(*view, m_session, m_connection, m_platform.prompts, m_views.window,
                                   m_options.settingsPath, m_options.commandLine);
    view->setEvents(&presenter);
    if (m_settings.Play[PlayOption::StartAtLastWorld]) {
        presenter.startAt(ReadSetting("Corvane", "LastWorld", m_options.settingsPath));
    }
    presenter.load();
    view->runModal();
    view->setEvents(nullptr);
    if (m_shutDown) {
        return;
    }
    m_addressBookWorld = presenter.selectedWorld();
    m_login.worldChosen();
    if (m_session.Connected && m_session.WorldIndex >= 0 && m_settings.Play[PlayOption::StartAtLastWorld]) {
        WriteSetting("Corvane", "LastWorld", m_session.WorldName, m_options.settingsPath);
    }
    m_views.input.focusInput();
}

void Client::GameConnect() {
    // Disabled while a character is logged in (F3 and the button included).
    if (m_session.Connected && !m_menu.enabled(MenuItem::GameConnect)) {
        return;
    }
    if (m_characterLogin.GameConnect()) {
        m_login.loggedIn();
    }
    m_views.input.focusInput();
}

void Client::closeSessionWindows() {
    m_room.closeSessionWindows();
    m_mcpWiring.sessionEnded();
}

void Client::endMacroFiles() {
    m_fileSender.stop();
    m_recorder.sessionEnded();
    // Its names and files belong to the world that has just gone.
    closeUserMacros();
}

void Client::shutdown(ShutdownCause cause) {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_shutDownBySignal = cause == ShutdownCause::Signal;
    if (m_shutDownBySignal) {
        m_mcp.keepDrafts();
        m_conversations.keepUnsavedRoutes();
    }
    if (!m_options.settingsPath.empty()) {
        m_startup.saveOnShutdown(m_views.window.isMinimised(), m_menu.checked(MenuItem::ViewCommand),
                                 m_menu.checked(MenuItem::ViewMacro));
        // Bounded: a quit signal must end the program within a second.
        FlushQueuedSettings(kSettingsFlushWait);
    }
    removeArrivalHook();
    m_scripts.disconnected();
    m_platform.socket.close();
    m_sender.connectionEnded();
    endMacroFiles();
    if (m_session.LogOpen) {
        m_log.close();
        if (!m_shutDownBySignal) {
            m_platform.prompts.message("Log File closed.", kNoticeTitle, PromptIcon::None);
        }
    }
    m_room.shutdown();
    m_preferences.reset();
    m_preferencesView.reset();
    if (m_notice && m_noticeView) {
        m_noticeView->destroyWindow();
    }
}

bool Client::completeName() {
    if (!m_settings.Play[PlayOption::CompleteNames]) {
        return false;
    }
    // Tab stays in the line either way: a name that fits nothing is a beep.
    if (auto completion = m_names.complete(m_views.input.inputText(), m_views.input.inputCaret())) {
        m_views.input.setInputText(completion->text);
        m_views.input.setInputCaret(completion->caret);
    } else {
        m_platform.sound.beep();
    }
    return true;
}

void Client::openNewWindow() {
    // Another Corvane on the same settings: each world plays in its own window,
    // and the settings lock keeps the two from undoing each other's writes.
    std::vector<std::string> arguments;
    if (!m_options.settingsPath.empty()) {
        arguments = {"--settings", m_options.settingsPath};
    }
    if (!m_platform.launcher.startProgram(m_options.programPath, arguments)) {
        m_platform.prompts.message("Corvane could not open a new window:\r" + m_options.programPath +
                                       " did not start.",
                                   kNoticeTitle, PromptIcon::Exclamation);
    }
}

void Client::removeArrivalHook() {
    if (m_session.Connected && m_sender.arrivalHookSet()) {
        m_sender.removeArrivalHook();
    }
}

bool Client::mayLoseUnsentEdits() {
    const std::vector<std::string> names = m_mcp.unsentEditors();
    if (names.empty()) {
        return true;
    }
    std::string which = "\"" + names.front() + "\"";
    for (std::size_t i = 1; i < names.size(); ++i) {
        which += (i + 1 == names.size() ? " and \"" : ", \"") + names[i] + "\"";
    }
    return m_platform.prompts.ask(which + (names.size() == 1 ? " has" : " have") +
                                      " changes that were not sent.\r\rExit and lose them?",
                                  "Corvane", PromptButtons::YesNo, PromptIcon::Question,
                                  PromptAnswer::No) == PromptAnswer::Yes;
}

void Client::exitProgram() {
    shutdown();
    m_platform.program.exit(0);
}

std::size_t Client::drawOutput() {
    const std::size_t lines = m_output.flush();
    if (m_historyWindow) {
        m_historyWindow->linesAdded();
    }
    return lines;
}

void Client::echo(const std::string& text, std::optional<Rgb> colour) {
    // After the line being processed, in the order they were asked for.
    m_platform.timers.post([this, text, colour] {
        if (!colour) {
            ShowOutput(text + "\r\n");
            return;
        }
        TextLine line;
        line.text = text;
        line.spans.push_back(StyleSpan{0, static_cast<std::uint32_t>(text.size()), TextStyle{colour, {}}});
        m_output.showLine(line, -1);
        drawOutput();
    });
}

void Client::ShowOutput(const std::string& text) {
    m_output.ShowOutput(text);
    m_output.flush();
    if (m_historyWindow) {
        m_historyWindow->linesAdded();
    }
}

void Client::requestPlayerList(int listMode) {
    // WHO works before a log-in too; its answer needs the window to show in.
    m_room.playerListWindow();
    m_sender.SendCommand(listMode == 1 ? "who\n" : "WHO\n");
    m_session.ListMode = listMode;
    m_classifier.listRequested();
    m_sender.NoteCommandSent();
    m_status.SetStatus(status::GettingPlayerInfo);
}

} // namespace corvane
