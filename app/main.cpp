#include "core/constants.h"
#include "qt/qt_announcer.h"
#include "qt/qt_attention.h"
#include "qt/qt_choosers.h"
#include "qt/qt_conversation_routes_view.h"
#include "qt/qt_file_watch.h"
#include "qt/qt_keyring.h"
#include "qt/qt_main_window.h"
#include "qt/qt_notifier.h"
#include "qt/qt_output_box.h"
#include "qt/qt_picture_reader.h"
#include "qt/qt_prompts.h"
#include "qt/qt_quit_signals.h"
#include "qt/qt_rules_view.h"
#include "qt/qt_script_state_view.h"
#include "qt/qt_server_info_view.h"
#include "qt/qt_services.h"
#include "qt/qt_socket.h"
#include "qt/qt_spell_check.h"
#include "qt/qt_sound.h"
#include "qt/qt_speech.h"
#include "qt/qt_timers.h"
#include "qt/qt_view_factory.h"
#include "settings/settings_location.h"
#include "shell/client.h"
#include "shell/command_line.h"
#include "shell/window_places.h"
#include "spell/spell_service.h"
#include "worlds/password_store.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// --help and --version print and end the program; nullopt when neither was asked.
std::optional<int> answerHelpOrVersion(const corvane::CommandLineOptions& options) {
    if (options.showHelp) {
        std::cout << corvane::UsageText();
        return 0;
    }
    if (options.showVersion) {
        std::cout << "Corvane " << corvane::VersionText << "\n";
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    // Answer --help and --version before Qt looks for a display; with Qt's
    // own options (-platform ...) in front, only once Qt has taken them out.
    if (const auto status =
            answerHelpOrVersion(corvane::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)))) {
        return *status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Corvane");
    QApplication::setApplicationVersion(
        QString::fromUtf8(corvane::VersionText.data(), static_cast<qsizetype>(corvane::VersionText.size())));

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    const corvane::CommandLineOptions options = corvane::ParseCommandLine(arguments);
    if (!options.error.empty()) {
        std::cerr << "corvane: " << options.error << "\n\n" << corvane::UsageText();
        return 2;
    }
    if (const auto status = answerHelpOrVersion(options)) {
        return *status;
    }

    std::string explicitSettings = options.settingsPath;
    if (explicitSettings.empty()) {
        explicitSettings = environment("CORVANE_SETTINGS");
    }
    // A program installed for the whole system (a package puts it in
    // /usr/bin) keeps no settings beside itself, even run by root, who could.
    std::string programDir = QApplication::applicationDirPath().toStdString();
    if (programDir.starts_with("/usr/") || programDir == "/bin") {
        programDir.clear();
    }
    const corvane::SettingsLocation location = corvane::LocateSettings(
        explicitSettings, programDir, environment("XDG_CONFIG_HOME"), environment("HOME"));

    // Outlives the windows, which remember their places in it as they go.
    corvane::WindowPlaces places(location.path);
    corvane::QtMainWindow window;
    corvane::QtSocket socket;
    corvane::QtPrompts prompts;
    prompts.setParentWindow(&window);
    corvane::QtSound sound;
    corvane::QtClock clock;
    corvane::QtTimers timers;
    corvane::QtLauncher launcher;
    corvane::QtClipboard clipboard;
    corvane::QtProgram program;
    corvane::QtChoosers choosers;
    choosers.setParentWindow(&window);
    // The input lines' spell check: the main one now, MCP editors as they open.
    corvane::SpellService spelling(corvane::DictionaryFolders(environment("HOME"), environment("XDG_DATA_HOME")),
                                   corvane::PersonalWords::pathBeside(location.path),
                                   QLocale::system().name().toStdString());
    // A large dictionary takes a while to read: not while the window waits.
    spelling.setMainThread([&app](std::function<void()> task) {
        QMetaObject::invokeMethod(&app, std::move(task), Qt::QueuedConnection);
    });
    corvane::QtSpellCheck spellCheck(spelling);
    spellCheck.attach(window.inputLine());
    corvane::QtViewFactory views;
    views.setParentWindow(&window);
    views.setSpellCheck(&spellCheck);
    views.setWindowPlaces(&places);
    corvane::QtPictureReader pictures;
    corvane::QtKeyring keyring;
    // Before the client: its editor windows let go of their watches as it goes.
    corvane::QtFileWatch fileWatch;
    // Before the client, whose speech queue it reports to.
    corvane::QtSpeech speech;
    corvane::QtAnnouncer announcer(&window);
    corvane::SetKeyring(&keyring);

    corvane::Platform platform{socket, prompts, sound, clock, timers, launcher, clipboard, program, views,
                                 choosers, pictures};
    corvane::MainViews mainViews{window, window, window, window, window, *window.outputBox(), window};
    // Beside the program in a build, under share/corvane once installed.
    QString helpFile = QApplication::applicationDirPath() + "/help.html";
    if (!QFileInfo::exists(helpFile)) {
        helpFile = QDir::cleanPath(QApplication::applicationDirPath() + "/../share/corvane/help.html");
    }
    corvane::Client client(platform, mainViews,
                           corvane::StartOptions{location.path, location.dataDir, options.address,
                                                 QDir::currentPath().toStdString(),
                                                 QUrl::fromLocalFile(helpFile).toString().toStdString(),
                                                 QApplication::applicationFilePath().toStdString()});
    window.setEvents(&client);
    client.setSpelling(&spelling);
    client.setSpeech(&speech);
    client.setAnnouncer(&announcer);
    spelling.checker().setKnownNames([&client](std::string_view word) { return client.names().knows(word); });
    if (!spelling.personalWordsProblem().empty()) {
        std::cerr << "corvane: the personal word list could not be read: " << spelling.personalWordsProblem()
                  << "\n";
    }
    client.mcp().setFileWatch(&fileWatch);
    client.scripts().setFileWatch(&fileWatch);
    corvane::QtNotifier notifier;
    client.rules().triggers().setNotifier(&notifier);
    client.conversations().setNotifier(&notifier);
    corvane::QtAttention attention(&window);
    client.conversations().setAttention(&attention);
    client.rulesWindow().setViewFactory([&window] { return std::make_unique<corvane::QtRulesView>(&window); });
    client.scriptState().setViewFactory(
        [&window] { return std::make_unique<corvane::QtScriptStateView>(&window); });
    client.serverInfo().setViewFactory([&window] { return std::make_unique<corvane::QtServerInfoView>(&window); });
    client.conversationWiring().setRoutesViewFactory(
        [&window] { return std::make_unique<corvane::QtConversationRoutesView>(&window); });
    // The window outlives the client in this scope: it must stop calling it first.
    struct Detach {
        corvane::QtMainWindow& window;
        corvane::SpellService& spelling;
        ~Detach() {
            window.setEvents(nullptr);
            spelling.checker().setKnownNames({});
        }
    } detach{window, spelling};
    client.setOutputFrameInterval(std::chrono::milliseconds(40), std::chrono::milliseconds(100));
    program.setBeforeExit([&window] { window.close(); });

    // A quit signal may come while a modal dialog runs its own loop: save
    // without asking anything, close the window and end every loop, not only
    // the main one. A second signal ends the program at once.
    bool quitSignalled = false;
    corvane::InstallQuitSignals([&window, &client, &quitSignalled] {
        quitSignalled = true;
        client.shutdown(corvane::Client::ShutdownCause::Signal);
        window.close();
        QCoreApplication::exit(0);
    });
    window.show();
    client.start(options.world.empty());
    if (!options.world.empty()) {
        if (const auto error = client.startLoggedIn(options.world, options.character)) {
            std::cerr << "corvane: " << *error << "\n";
            client.shutdown();
            return 1;
        }
    }
    if (quitSignalled) {
        return 0;
    }
    if (program.exitRequested()) {
        client.shutdown();
        return program.exitCode();
    }
    return QApplication::exec();
}
