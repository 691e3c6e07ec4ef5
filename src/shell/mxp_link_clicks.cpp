#include "shell/mxp_link_clicks.h"

#include "core/constants.h"
#include "core/input_view.h"
#include "platform/prompts.h"
#include "wire/mxp_links.h"

namespace corvane {

void MxpLinkClicks::clicked(std::uint32_t id) {
    const MxpLink* found = m_services.links.find(id);
    if (found == nullptr) {
        return;
    }
    // A copy: what the menu or the box lets run may bring new lines, and new links.
    const MxpLink link = *found;
    if (link.kind == MxpLink::Kind::Web) {
        const PromptAnswer answer =
            m_services.prompts.ask("The world's link goes to\r\r" + link.address + "\r\rOpen it in your browser?",
                                   "Corvane " + std::string(VersionText), PromptButtons::YesNo,
                                   PromptIcon::Question, PromptAnswer::Yes);
        if (answer == PromptAnswer::Yes && m_services.openInBrowser) {
            m_services.openInBrowser(link.address);
        }
        return;
    }
    if (link.commands.empty()) {
        return;
    }
    std::size_t chosen = 0;
    if (link.commands.size() > 1) {
        const int picked = m_services.chooseFromMenu ? m_services.chooseFromMenu(link.captions) : -1;
        if (picked < 0 || static_cast<std::size_t>(picked) >= link.commands.size()) {
            return;
        }
        chosen = static_cast<std::size_t>(picked);
    }
    const std::string& command = link.commands[chosen];
    if (link.prompt) {
        // Added where the caret is: what the player had typed stays.
        m_services.input.insertText(command);
        m_services.input.focusInput();
    } else if (m_services.sendAsTyped) {
        m_services.sendAsTyped(command);
    }
}

} // namespace corvane
