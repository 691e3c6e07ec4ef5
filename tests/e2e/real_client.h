#pragma once

#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_picture_reader.h"
#include "qt/qt_socket.h"
#include "qt/qt_timers.h"
#include "shell/client.h"

#include <QtGlobal>
#include <string>

namespace corvane::testing {

// The real client on the real socket, timers and main window; only the modal
// boxes, sound, launcher, clipboard and program end are fakes. Views is the
// factory of the windows opened on demand.
template <typename Views = FakeViewFactory> struct RealClient {
    explicit RealClient(StartOptions options = {})
        : client(platform, MainViews{window, window, window, window, window, *window.outputBox(), window},
                 std::move(options)) {
        window.setEvents(&client);
    }
    // The client goes first; the window, which may still hold the focus in
    // the output box, must not report to it afterwards.
    ~RealClient() { window.setEvents(nullptr); }
    RealClient(const RealClient&) = delete;

    // File > Connect with the dialog filled in and OK pressed, the way the
    // user connects to a world on this machine; TagMode is then off.
    void connectTo(quint16 port) {
        views.addressBookScript = [port](FakeAddressBookView& dialog) {
            dialog.setWorldName("Loopback");
            dialog.setHost("127.0.0.1");
            dialog.setPort(std::to_string(port));
            dialog.events->onOk();
        };
        client.FileConnect();
    }

    RealClient& operator=(const RealClient&) = delete;

    QtMainWindow window;
    QtSocket socket;
    FakePrompts prompts;
    FakeSound sound;
    QtClock clock;
    QtTimers timers;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeProgram program;
    Views views;
    FakeChoosers choosers;
    QtPictureReader pictures;
    Platform platform{socket, prompts, sound, clock, timers, launcher, clipboard, program, views, choosers, pictures};
    Client client;
};

} // namespace corvane::testing
