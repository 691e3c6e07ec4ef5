#pragma once

#include "platform/clipboard.h"
#include "platform/launcher.h"
#include "platform/program.h"

#include <functional>

namespace corvane {

// Starts programs detached, with an argument list and no shell.
class QtLauncher : public Launcher {
public:
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    bool openWithDesktop(const std::string& address) override;
    // A running browser is asked through the desktop's address opener (what
    // xdg-open does), when the browser asked for is the desktop's default
    // one, or when no browser is named and the desktop has one.
    BrowserAnswer askRunningBrowser(const OpenUrlRequest& request) override;
};

class QtClipboard : public Clipboard {
public:
    bool hasText() const override;
    std::string text() const override;
    void setText(const std::string& text) override;
    void clear() override;
};

// Ends the run from the event loop, after the handler that asked has returned.
class QtProgram : public Program {
public:
    explicit QtProgram(std::function<void()> beforeExit = {})
        : m_beforeExit(std::move(beforeExit)) {}
    void setBeforeExit(std::function<void()> beforeExit) { m_beforeExit = std::move(beforeExit); }
    void exit(int code) override;
    // An exit asked for before the main event loop ran is kept here for main().
    bool exitRequested() const { return m_exitRequested; }
    int exitCode() const { return m_exitCode; }

private:
    std::function<void()> m_beforeExit;
    bool m_exitRequested = false;
    int m_exitCode = 0;
};

} // namespace corvane
