#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace corvane {

// An open-URL request to a browser that is already running: which browser
// (its bare program name; empty for the desktop's own default browser), the
// address and how it wants it shown.
struct OpenUrlRequest {
    std::string service;
    std::string topic = "WWW_OpenURL";
    // The address in double quotes and the window flags, as browsers
    // answering this request have always taken it.
    std::string item;
    std::string address;
    bool newWindow = false;
    std::chrono::seconds timeout{60};
};

enum class BrowserAnswer {
    // No browser answers under that name: the caller starts one itself.
    NotRunning,
    // A browser answered but did not take the address.
    Failed,
    Opened,
};

// Starts external programs (browser, text editor) without waiting for them.
// Arguments are passed as a list, never through a shell.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Hands an address to the desktop's default handler.
    virtual bool openWithDesktop(const std::string& address) = 0;
    virtual BrowserAnswer askRunningBrowser(const OpenUrlRequest& request) = 0;
};

} // namespace corvane
