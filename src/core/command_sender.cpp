#include "core/command_sender.h"

#include "core/constants.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "platform/prompts.h"

namespace corvane {

CommandSender::CommandSender(Session& session, Socket& socket, StatusLine& status, Prompts& prompts,
                             MainMenu& menu)
    : m_session(session)
    , m_socket(socket)
    , m_status(status)
    , m_prompts(prompts)
    , m_menu(menu) {}

std::string CommandSender::wireBytes(const std::string& text, bool utf8, std::string* unsent) {
    std::string out;
    out.reserve(text.size());
    std::string character;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t codePoint = NextCodePoint(text, pos);
        character.clear();
        if (utf8) {
            AppendUtf8(character, codePoint);
        } else {
            const int b = CodePointToCp1252(codePoint);
            character.push_back(b < 0 ? '?' : static_cast<char>(b));
            if (b < 0 && unsent != nullptr) {
                std::string lost;
                AppendUtf8(lost, codePoint);
                if (unsent->find(lost) == std::string::npos) {
                    *unsent += lost;
                }
            }
        }
        // UTF-8 never holds 255; doubling it anyway keeps the rule in one place.
        for (const char byte : character) {
            out.push_back(byte);
            if (static_cast<unsigned char>(byte) == 0xFF) {
                out.push_back(byte);
            }
        }
    }
    return out;
}

bool CommandSender::sendsUtf8() const {
    switch (m_session.Encoding) {
    case TextEncoding::Utf8:
        return true;
    case TextEncoding::Windows1252:
        return false;
    case TextEncoding::Automatic:
        break;
    }
    // MUDs speak UTF-8 and refuse anything else, though their banners are
    // plain ASCII; MUCK and MUSH worlds store bytes others may read as the
    // code page.
    if (m_session.Server == ServerKind::Mud) {
        return !m_worldSentNonUtf8;
    }
    return m_worldSentUtf8;
}

void CommandSender::SendCommand(const std::string& text) {
    std::string unsent;
    m_queue.push_back(wireBytes(m_inBandFilter ? m_inBandFilter(text) : text, sendsUtf8(), &unsent));
    if (!unsent.empty() && m_unsentHook) {
        m_unsentHook(unsent);
    }
    pump();
    m_promptedLogin.commandSent();
    if (m_sent) {
        m_sent();
    }
}

void CommandSender::SendOutOfBand(const std::string& text) {
    m_queue.push_back(wireBytes(text, sendsUtf8()));
    pump();
}

void CommandSender::SendOwnCommand(const std::string& text, OwnAnswer answer) {
    SendCommand(text);
    m_ownAnswers.expect(answer);
}

void CommandSender::setArrivalHook() {
    SendOwnCommand("@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}" + std::string(NewLine),
                   OwnAnswer::PropertySet);
    m_arrivalHookSet = true;
}

void CommandSender::removeArrivalHook() {
    SendOwnCommand("@set me=_arrive/vrox:" + std::string(NewLine), OwnAnswer::PropertySet);
    m_arrivalHookSet = false;
}

void CommandSender::NoteCommandSent() {
    if ((m_session.OutputFramed || m_session.PromptsEndReplies) && m_menu.enabled(MenuItem::ViewLagCounter) &&
        m_menu.checked(MenuItem::ViewLagCounter)) {
        ++m_session.PendingReplies;
        // A prompt still owed to an earlier answer must not keep this one waiting.
        m_session.ReplyBegun = false;
    }
}

void CommandSender::pump() {
    // A failure box below runs a nested event loop; commands sent from there
    // join the queue and this loop picks them up in order.
    if (m_pumping) {
        return;
    }
    m_pumping = true;
    while (!m_waiting && !m_queue.empty()) {
        if (m_socket.state() == Socket::State::Closed) {
            // Whoever sends late (a timer, a queued command) after the line has
            // gone sends nothing: the end of the connection was reported already.
            m_queue.clear();
            break;
        }
        const std::string bytes = std::move(m_queue.front());
        m_queue.pop_front();
        m_session.SendDone = false;
        const Socket::SendResult result = m_socket.send(bytes);
        if (result.status == Socket::SendStatus::Pending) {
            m_waiting = true;
            if (m_status.text() != status::WaitingToSend) {
                m_statusBeforeWait = m_status.text();
                m_status.SetStatus(status::WaitingToSend);
            }
            break;
        }
        m_session.SendDone = true;
        if (result.status == Socket::SendStatus::Failed) {
            // The rest would fail the same way; one message is enough.
            m_queue.clear();
            m_prompts.message(result.error.description, "Corvane Error", PromptIcon::Exclamation);
        }
    }
    m_pumping = false;
    if (!m_waiting && m_queue.empty()) {
        finishWaiting();
    }
}

void CommandSender::finishWaiting() {
    // Only undo our own status text: a newer one (paused, disconnecting) stays.
    if (!m_statusBeforeWait.empty() && m_status.text() == status::WaitingToSend) {
        m_status.SetStatus(m_statusBeforeWait);
    }
    m_statusBeforeWait.clear();
}

void CommandSender::onSendComplete() {
    if (!m_waiting) {
        return;
    }
    m_waiting = false;
    m_session.SendDone = true;
    pump();
    if (!busy() && m_drained) {
        m_drained();
    }
}

void CommandSender::connectionEnded() {
    m_queue.clear();
    m_worldSentUtf8 = false;
    m_worldSentNonUtf8 = false;
    m_waiting = false;
    m_session.SendDone = true;
    m_statusBeforeWait.clear();
    m_ownAnswers.clear();
    m_arrivalHookSet = false;
    m_promptedLogin.stop();
}

} // namespace corvane
