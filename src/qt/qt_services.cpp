#include "qt/qt_services.h"

#include "platform/desktop_browser.h"
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

namespace {

std::optional<DesktopBrowser> desktopBrowser() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto env = [](const char* name) { return qEnvironmentVariable(name).toStdString(); };
    return FindDesktopBrowser(XdgPlacesFrom(env("HOME"), env("XDG_CONFIG_HOME"), env("XDG_CONFIG_DIRS"),
                                            env("XDG_DATA_HOME"), env("XDG_DATA_DIRS"), env("XDG_CURRENT_DESKTOP")));
#else
    // Elsewhere the desktop always has a browser for web addresses.
    return DesktopBrowser{"browser", "browser"};
#endif
}

} // namespace

BrowserAnswer QtLauncher::askRunningBrowser(const OpenUrlRequest& request) {
    const std::optional<DesktopBrowser> browser = desktopBrowser();
    const bool answers = request.service.empty()
                             ? browser.has_value() || !qEnvironmentVariableIsEmpty("BROWSER")
                             : browser.has_value() && IsDesktopBrowser(*browser, request.service);
    if (!answers) {
        return BrowserAnswer::NotRunning;
    }
    // The desktop's opener has no new-window form; its browser's own argument does.
    if (request.newWindow && browser.has_value()) {
        const std::vector<std::string> arguments = NewWindowArguments(browser->program, request.address);
        if (!arguments.empty() && startProgram(browser->program, arguments)) {
            return BrowserAnswer::Opened;
        }
    }
    const QUrl url(toQt(request.address), QUrl::TolerantMode);
    return url.isValid() && QDesktopServices::openUrl(url) ? BrowserAnswer::Opened : BrowserAnswer::Failed;
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
