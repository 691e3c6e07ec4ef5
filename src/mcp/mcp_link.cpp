#include "mcp/mcp_link.h"

#include "core/command_sender.h"
#include "core/constants.h"

#include <random>

namespace corvane {

McpLink::McpLink(CommandSender& sender, std::vector<McpStage::Package> packages,
                 std::function<std::string()> randomToken)
    : m_sender(sender)
    , m_stage(std::move(packages), randomToken ? std::move(randomToken) : &McpLink::randomToken) {
    m_sender.setInBandFilter([this](const std::string& text) { return quoteInBand(text); });
}

std::string McpLink::randomToken() {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::random_device source;
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof(digits)) - 2);
    std::string token;
    for (int i = 0; i < 16; ++i) {
        token.push_back(digits[pick(source)]);
    }
    return token;
}

void McpLink::connectionStarted(bool enabled) {
    m_stage.reset(enabled);
    ++m_serial;
    if (m_negotiatedHook) {
        m_negotiatedHook();
    }
}

void McpLink::connectionEnded() {
    m_stage.reset(m_stage.enabled());
    if (m_negotiatedHook) {
        m_negotiatedHook();
    }
}

void McpLink::tellTraffic(bool outgoing, const std::string& line) const {
    std::string shown = m_stage.withoutKey(line);
    if (shown.size() > kTrafficBytes) {
        const std::size_t whole = shown.size();
        shown.resize(kTrafficBytes);
        // Not inside a UTF-8 sequence.
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80) {
            shown.pop_back();
        }
        if (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0x80) != 0) {
            shown.pop_back();
        }
        shown += "… (" + std::to_string(whole) + " bytes)";
    }
    m_traffic(outgoing, shown);
}

void McpLink::setHandler(const std::string& package, Handler handler) {
    m_handlers[package] = std::move(handler);
}

void McpLink::sendLine(const std::string& line) {
    if (m_traffic) {
        tellTraffic(true, line);
    }
    m_sender.SendOutOfBand(line + std::string(NewLine));
}

bool McpLink::send(const McpMessage& message) {
    const std::vector<std::string> lines = m_stage.outgoing(message);
    for (const std::string& line : lines) {
        sendLine(line);
    }
    return !lines.empty();
}

bool McpLink::passLine(std::string& text) {
    // Nearly every line is ordinary text, and passes untouched.
    if (!m_stage.concerns(text)) {
        return true;
    }
    const bool negotiatedBefore = m_stage.serverNegotiationEnded();
    const std::size_t offersBefore = m_stage.negotiatedCount();
    m_output.messages.clear();
    m_output.sends.clear();
    std::string original = m_traffic ? text : std::string();
    m_stage.line(text, m_output);
    if (!m_output.show && m_traffic) {
        tellTraffic(false, original);
    }
    for (const std::string& line : m_output.sends) {
        sendLine(line);
    }
    if (m_negotiatedHook &&
        (negotiatedBefore != m_stage.serverNegotiationEnded() || offersBefore != m_stage.negotiatedCount())) {
        m_negotiatedHook();
    }
    const bool show = m_output.show;
    // A handler may open a window that sends, and so reach back in here.
    std::vector<McpReceived> messages = std::move(m_output.messages);
    m_output.messages.clear();
    for (const McpReceived& received : messages) {
        if (received.tooLarge) {
            if (m_tooLarge) {
                m_tooLarge(received);
            }
            continue;
        }
        const auto handler = m_handlers.find(received.package);
        if (handler != m_handlers.end() && handler->second) {
            handler->second(received);
        }
    }
    return show;
}

std::string McpLink::quoteInBand(const std::string& text) const {
    if (!m_stage.active()) {
        return text;
    }
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end + 1;
        out += m_stage.quoteInBand(text.substr(from, end - from));
        from = end;
    }
    return out;
}

} // namespace corvane
