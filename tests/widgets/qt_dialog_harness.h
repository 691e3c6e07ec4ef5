#pragma once

#include "behaviour/scratch_folder.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_picture_reader.h"
#include "qt/qt_view_factory.h"
#include "shell/client.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace corvane::testing {

// A client whose dialogs are the real Qt ones on the offscreen platform, with
// a settings file in a scratch folder; prompts and socket are fakes.
struct QtDialogHarness {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    FakeSocket socket;
    FakePrompts prompts;
    FakeSound sound;
    FakeClock clock;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeProgram program;
    QtViewFactory views;
    FakeChoosers choosers;
    QtPictureReader pictures;
    FakeMainWindow window;
    Platform platform{socket, prompts, sound, clock, clock, launcher, clipboard, program, views, choosers, pictures};
    Client client{platform, MainViews{window, window, window, window, window, window, window},
                  StartOptions{path, "/tmp", "", "/tmp", ""}};

    static QWidget* shownWindow(const char* objectName) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() == objectName) {
                return widget;
            }
        }
        return nullptr;
    }

    // Runs openModal, which shows a modal dialog, and plays the user with
    // script once the dialog is up. A failed check in the script would leave
    // the dialog open; a guard closes it so the test ends.
    static void whileModal(const std::function<void()>& script, const std::function<void()>& openModal) {
        QTimer::singleShot(0, script);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        guard.start(5000);
        openModal();
    }
};

} // namespace corvane::testing
