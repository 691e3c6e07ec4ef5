#include "mcp/mcp_stage.h"

#include <algorithm>
#include <charconv>

namespace corvane {

namespace {

const McpVersion kProtocol{2, 1};
const std::string kNegotiate = "mcp-negotiate";
const McpStage::Package kNegotiatePackage{kNegotiate, {1, 0}, {2, 0}};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool readInt(std::string_view text, int& out) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool McpVersion::parse(std::string_view text, McpVersion& out) {
    const std::size_t dot = text.find('.');
    return dot != std::string_view::npos && readInt(text.substr(0, dot), out.major) &&
           readInt(text.substr(dot + 1), out.minor);
}

std::string McpVersion::text() const {
    return std::to_string(major) + "." + std::to_string(minor);
}

McpStage::McpStage(std::vector<Package> packages, std::function<std::string()> randomToken)
    : m_packages(std::move(packages))
    , m_randomToken(std::move(randomToken)) {
    m_packages.insert(m_packages.begin(), kNegotiatePackage);
}

void McpStage::reset(bool enabled) {
    m_enabled = enabled;
    m_refused = false;
    m_serverEnded = false;
    m_key.clear();
    m_negotiated.clear();
    m_open.clear();
    m_held.clear();
    m_holding = false;
}

bool McpStage::holdsTail(std::string_view text) const {
    if (!m_enabled) {
        return false;
    }
    return m_holding || (!text.empty() && (startsWith("#$#", text) || startsWith(text, "#$")));
}

bool McpStage::keepsPiece(std::string_view piece) {
    if (!m_enabled || (!m_holding && !startsWith(piece, "#$#"))) {
        return false;
    }
    m_holding = true;
    // Past the cap the line is dropped whole; one byte over marks it.
    const std::size_t room = kMaxMessageBytes + 1 - std::min(m_held.size(), kMaxMessageBytes + 1);
    m_held.append(piece.substr(0, room));
    return true;
}

void McpStage::line(std::string& text, Output& out) {
    out.show = true;
    if (!m_enabled) {
        return;
    }
    if (m_holding) {
        m_holding = false;
        const bool tooLong = m_held.size() + text.size() > kMaxMessageBytes;
        if (tooLong) {
            dropHeldContinuation();
            m_held.clear();
            text.clear();
            out.show = false;
            return;
        }
        text.insert(0, m_held);
        m_held.clear();
    }
    if (startsWith(text, "#$\"")) {
        text.erase(0, 3);
        return;
    }
    if (!startsWith(text, "#$#")) {
        return;
    }
    out.show = false;
    outOfBand(std::string_view(text).substr(3), out);
}

void McpStage::outOfBand(std::string_view text, Output& out) {
    McpLine parsed = ParseMcpLine(text);
    switch (parsed.kind) {
    case McpLine::Kind::Invalid:
        return;
    case McpLine::Kind::Start:
        start(parsed, out);
        return;
    case McpLine::Kind::Continue: {
        auto open = std::find_if(m_open.begin(), m_open.end(), [&](const Open& o) { return o.tag == parsed.tag; });
        if (open == m_open.end() || std::find(open->keys.begin(), open->keys.end(), parsed.key) == open->keys.end() ||
            open->received.tooLarge) {
            return;
        }
        open->bytes += parsed.text.size() + 1;
        if (open->bytes > kMaxMessageBytes) {
            // Kept, values dropped, so that its end can say what was not taken.
            dropValues(*open);
            return;
        }
        for (McpMessage::Value& value : open->received.body.values) {
            if (value.key == parsed.key) {
                value.value += parsed.text;
                value.value.push_back('\n');
            }
        }
        return;
    }
    case McpLine::Kind::End: {
        auto open = std::find_if(m_open.begin(), m_open.end(), [&](const Open& o) { return o.tag == parsed.tag; });
        if (open == m_open.end()) {
            return;
        }
        McpReceived received = std::move(open->received);
        m_open.erase(open);
        for (McpMessage::Value& value : received.body.values) {
            if (value.multiline && !value.value.empty() && !received.tooLarge) {
                value.value.pop_back();
            }
        }
        deliver(std::move(received), out);
        return;
    }
    }
}

void McpStage::start(McpLine& parsed, Output& out) {
    McpMessage& message = parsed.message;
    if (message.name == "mcp") {
        handshake(message, out);
        return;
    }
    if (m_key.empty() || parsed.authKey != m_key) {
        return;
    }
    if (message.name == "mcp-negotiate-can") {
        // Offers after the server said it was done are errors.
        if (!m_serverEnded) {
            negotiateCan(message);
        }
        return;
    }
    if (message.name == "mcp-negotiate-end") {
        m_serverEnded = true;
        return;
    }
    const std::string* package = packageOf(message.name);
    if (package == nullptr) {
        return;
    }
    McpReceived received;
    received.package = *package;
    received.message = message.name.size() > package->size() ? message.name.substr(package->size() + 1) : "";
    received.body = std::move(message);
    if (parsed.multilineKeys.empty()) {
        deliver(std::move(received), out);
        return;
    }
    // A tag still open names another message; the newer one wins.
    m_open.erase(std::remove_if(m_open.begin(), m_open.end(), [&](const Open& o) { return o.tag == parsed.tag; }),
                 m_open.end());
    if (m_open.size() >= kMaxOpenMessages) {
        m_open.erase(m_open.begin());
    }
    std::size_t bytes = 0;
    for (const McpMessage::Value& value : received.body.values) {
        bytes += value.key.size() + value.value.size();
    }
    m_open.push_back(Open{parsed.tag, std::move(received), std::move(parsed.multilineKeys), bytes});
}

void McpStage::dropValues(Open& open) {
    open.received.tooLarge = true;
    for (McpMessage::Value& value : open.received.body.values) {
        if (value.multiline) {
            std::string().swap(value.value);
        }
    }
}

void McpStage::dropHeldContinuation() {
    // "#$#* <tag> <key>: ..."; only the tag is needed.
    if (!startsWith(m_held, "#$#* ")) {
        return;
    }
    std::string_view rest = std::string_view(m_held).substr(5);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    const std::string_view tag = rest.substr(0, rest.find(' '));
    auto open = std::find_if(m_open.begin(), m_open.end(), [&](const Open& o) { return o.tag == tag; });
    if (!tag.empty() && open != m_open.end()) {
        dropValues(*open);
    }
}

void McpStage::handshake(const McpMessage& message, Output& out) {
    if (!m_key.empty() || m_refused) {
        return;
    }
    McpVersion low;
    McpVersion high;
    if (!McpVersion::parse(message.value("version"), low)) {
        return;
    }
    if (!message.has("to") || !McpVersion::parse(message.value("to"), high)) {
        high = low;
    }
    if (kProtocol < low || high < kProtocol) {
        m_refused = true;
        return;
    }
    m_key = m_randomToken();
    McpMessage hello;
    hello.name = "mcp";
    hello.add("authentication-key", m_key).add("version", kProtocol.text()).add("to", kProtocol.text());
    const auto tag = [this] { return m_randomToken(); };
    for (std::string& line : FormatMcpMessage(hello, m_key, tag)) {
        out.sends.push_back(std::move(line));
    }
    // Our offers go at once: the server's own come without waiting for ours.
    for (const Package& package : m_packages) {
        McpMessage can;
        can.name = "mcp-negotiate-can";
        can.add("package", package.name).add("min-version", package.min.text()).add("max-version", package.max.text());
        out.sends.push_back(FormatMcpMessage(can, m_key, tag).front());
    }
    out.sends.push_back("#$#mcp-negotiate-end " + m_key);
}

void McpStage::negotiateCan(const McpMessage& message) {
    McpVersion low;
    McpVersion high;
    if (!McpVersion::parse(message.value("min-version"), low) ||
        !McpVersion::parse(message.value("max-version"), high)) {
        return;
    }
    std::string name = message.value("package");
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const Package& ours : m_packages) {
        if (ours.name != name) {
            continue;
        }
        const McpVersion top = std::min(high, ours.max);
        if (top >= std::max(low, ours.min)) {
            m_negotiated[name] = top;
        }
    }
}

void McpStage::deliver(McpReceived received, Output& out) {
    out.messages.push_back(std::move(received));
}

const std::string* McpStage::packageOf(const std::string& name) const {
    const std::string* best = nullptr;
    for (const auto& [package, version] : m_negotiated) {
        const bool matches = name == package || (startsWith(name, package) && name.size() > package.size() &&
                                                 name[package.size()] == '-');
        if (matches && (best == nullptr || package.size() > best->size())) {
            best = &package;
        }
    }
    return best;
}

const McpVersion* McpStage::negotiated(std::string_view package) const {
    const auto found = m_negotiated.find(package);
    return found == m_negotiated.end() ? nullptr : &found->second;
}

std::vector<std::string> McpStage::outgoing(const McpMessage& message) {
    const std::string* package = packageOf(message.name);
    if (m_key.empty() || package == nullptr || *package == kNegotiate) {
        return {};
    }
    return FormatMcpMessage(message, m_key, [this] { return m_randomToken(); });
}

std::string McpStage::withoutKey(std::string line) const {
    if (m_key.empty()) {
        return line;
    }
    for (std::size_t at = line.find(m_key); at != std::string::npos; at = line.find(m_key, at + 3)) {
        line.replace(at, m_key.size(), "…");
    }
    return line;
}

std::string McpStage::quoteInBand(const std::string& line) const {
    if (active() && (startsWith(line, "#$#") || startsWith(line, "#$\""))) {
        return "#$\"" + line;
    }
    return line;
}

} // namespace corvane
