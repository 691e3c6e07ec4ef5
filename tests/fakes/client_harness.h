#pragma once

#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "shell/client.h"
#include "worlds/character_login.h"

#include <filesystem>

namespace corvane::testing {

// A whole client on fakes: the test plays the user (through the window's
// events) and the server (through the fake socket).
struct ClientHarness {
    explicit ClientHarness(std::string commandLine = {}, std::string settingsPath = {})
        : settingsFile(std::move(settingsPath))
        , platform{socket, prompts, sound, clock, clock, launcher, clipboard, program, views, choosers, pictures}
        , client(platform, MainViews{window, window, window, window, window, window, window},
                 StartOptions{settingsFile, "/tmp", std::move(commandLine), "/tmp", "file:///opt/corvane/help.html"}) {}

    // Opens the connect dialog and connects to a world named "Test".
    void connect(const std::string& name = "Test", const std::string& host = "127.0.0.1",
                 const std::string& port = "4201") {
        views.addressBookScript = [=](FakeAddressBookView& dialog) {
            dialog.setWorldName(name);
            dialog.setHost(host);
            dialog.setPort(port);
            dialog.events->onOk();
        };
        client.FileConnect();
        views.addressBookScript = nullptr;
        socket.accept();
    }

    // "&Connect to a Character" on this client: true when a character logged in.
    bool connectCharacter() {
        return CharacterLogin(client.session(), client.sender(), prompts, sound, views, settingsFile)
            .GameConnect();
    }

    // Empties the output window the way the user's "Clear Output" does.
    void clearOutput() { client.onMenuTriggered(MenuItem::ViewClear); }

    void type(const std::string& text) {
        window.input = text;
        client.onInputKey(InputLine::Key::Enter);
    }

    FakeSocket socket;
    FakePrompts prompts;
    FakeSound sound;
    FakeClock clock;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeProgram program;
    FakeViewFactory views;
    FakeChoosers choosers;
    FakePictureReader pictures;
    FakeMainWindow window;
    std::string settingsFile;
    Platform platform;
    Client client;
};

} // namespace corvane::testing
