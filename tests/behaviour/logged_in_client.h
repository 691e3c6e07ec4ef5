#pragma once

#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "settings/settings.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace corvane::testing {

// A client on fakes logged in as Tester on "Practice", with a real settings
// file and the macro folder in a scratch folder, and an environment of its
// own for the text editor.
struct LoggedInClient {
    ScratchFolder folder;
    std::string ini = folder.file("CORVANE.INI");
    std::map<std::string, std::string> env;
    std::unique_ptr<ClientHarness> h;

    // Writes the settings file unless an earlier run left one.
    void start(const std::string& worldLines = {}) {
        if (!FileExists(ini)) {
            folder.write("CORVANE.INI",
                         "[Corvane]\r\nProgramPath=" + folder.path() +
                             "\r\n[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n\r\n[Practice]\r\n"
                             "Character 1=Tester,B5;@<!=&\r\n" +
                             worldLines);
        }
        h = std::make_unique<ClientHarness>("", ini);
        h->client.setEnvironment([this](const std::string& name) {
            const auto it = env.find(name);
            return it == env.end() ? std::string() : it->second;
        });
        h->client.start(false);
    }
    // Logs in and forgets the login bytes.
    void logIn(const std::string& worldLines = {}) {
        start(worldLines);
        ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
        h->socket.accept();
        h->socket.sent.clear();
        h->window.statusHistory.clear();
    }
    Session& session() { return h->client.session(); }
    std::string macroSetting(int n) { return ReadSetting("Practice", "Macro " + std::to_string(n), ini); }
    // Lets the event loop run until the file being played has gone out.
    void play() {
        for (int turns = 0; session().SendingFile && turns < 1000; ++turns) {
            h->clock.runPending();
        }
    }
};

} // namespace corvane::testing
