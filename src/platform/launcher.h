#pragma once

#include <string>
#include <vector>

namespace corvane {

// Starts external programs (browser, text editor) without waiting for them.
// Arguments are passed as a list, never through a shell.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Hands an address to the desktop's default handler.
    virtual bool openWithDesktop(const std::string& address) = 0;
};

} // namespace corvane
