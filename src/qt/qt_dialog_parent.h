#pragma once

#include <QApplication>
#include <QDialog>

namespace corvane {

// The window a message box or chooser belongs to: the dialog the user is
// working in (the preferences, say), so the keyboard focus goes back there
// when it closes; else the main window.
inline QWidget* DialogParent(QWidget* mainWindow) {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeWindow());
    return dialog != nullptr && dialog->isVisible() ? dialog : mainWindow;
}

} // namespace corvane
