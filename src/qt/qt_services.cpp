#include "qt/qt_services.h"

#include "qt/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace corvane {

bool QtLauncher::startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments) {
        list << toQt(argument);
    }
    return QProcess::startDetached(toQt(program), list);
}

bool QtLauncher::openWithDesktop(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(toQt(address), QUrl::StrictMode));
}

bool QtClipboard::hasText() const { return !QApplication::clipboard()->text().isEmpty(); }
std::string QtClipboard::text() const { return fromQt(QApplication::clipboard()->text()); }
void QtClipboard::setText(const std::string& text) { QApplication::clipboard()->setText(toQt(text)); }
void QtClipboard::clear() { QApplication::clipboard()->clear(); }

void QtProgram::exit(int code) {
    if (m_exitRequested) {
        return;
    }
    m_exitRequested = true;
    m_exitCode = code;
    QTimer::singleShot(0, [this, code] {
        if (m_beforeExit) {
            m_beforeExit();
        }
        QCoreApplication::exit(code);
    });
}

} // namespace corvane
