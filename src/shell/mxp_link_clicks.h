#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

class MxpLinks;
class Prompts;
class InputView;

// What a click on an MXP link in the output does. A link with one command
// sends it as if it had been typed (aliases and all, through the command
// path, never a shell); one with several offers them as a menu first; one
// the world marked "prompt" puts its command into the input line to be
// edited. A web link shows its address and opens it in the browser only
// when the player says yes.
class MxpLinkClicks {
public:
    struct Services {
        const MxpLinks& links;
        Prompts& prompts;
        InputView& input;
        // A command as if typed into the input line and sent.
        std::function<void(const std::string& command)> sendAsTyped;
        // The browser launcher the output's web addresses already use.
        std::function<void(const std::string& address)> openInBrowser;
        // Shows the captions as a menu where the link was clicked: the one
        // picked, or -1.
        std::function<int(const std::vector<std::string>& captions)> chooseFromMenu;
    };

    explicit MxpLinkClicks(Services services) : m_services(std::move(services)) {}

    // The link of that number in the output was clicked; a number no longer
    // kept does nothing.
    void clicked(std::uint32_t link);

private:
    Services m_services;
};

} // namespace corvane
