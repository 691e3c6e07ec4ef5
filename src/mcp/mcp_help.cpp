#include "mcp/mcp_help.h"

#include "core/session.h"
#include "mcp/mcp_link.h"
#include "platform/view_factory.h"

#include <algorithm>

namespace corvane {

namespace {

const std::vector<std::string> kKinds = {"help", "man", "mpi", "news"};
constexpr const char* kNotOffered = "This world does not offer its help to windows on this connection.";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The servers send an empty help line as two blanks; a line of blanks only
// is shown empty, so find and copy do not trip over them.
std::string entryText(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(from, end - from);
        if (line.find_first_not_of(' ') != std::string::npos) {
            out += line;
        }
        if (end == text.size()) {
            break;
        }
        out.push_back('\n');
        from = end + 1;
    }
    return out;
}

} // namespace

McpHelp::McpHelp(McpLink& link, ViewFactory& views, const Session& session)
    : m_link(link)
    , m_views(views)
    , m_session(session) {}

McpHelp::~McpHelp() {
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

bool McpHelp::offered() const {
    return m_link.offers(kPackage);
}

bool McpHelp::ensureView() {
    if (!m_view) {
        m_view = m_views.createMcpHelpView();
        if (!m_view) {
            return false;
        }
        m_view->setEvents(this);
        m_view->setKinds(kKinds);
    }
    m_view->setTitle(m_session.WorldName.empty() ? "MUCK Help" : "MUCK Help - " + m_session.WorldName);
    return true;
}

void McpHelp::open() {
    if (!ensureView()) {
        return;
    }
    offersChanged();
    m_view->showWindow(true);
}

void McpHelp::offersChanged() {
    if (!m_view) {
        return;
    }
    const bool on = offered();
    m_view->setLookUpEnabled(on);
    m_view->setStatus(on ? "Type a topic and press Enter." : kNotOffered);
}

void McpHelp::onLookUp() {
    const std::string topic = trimmed(m_view->topic());
    if (topic.empty()) {
        m_view->setStatus("Type a topic first.");
        return;
    }
    std::string kind = m_view->kind();
    if (std::find(kKinds.begin(), kKinds.end(), kind) == kKinds.end()) {
        kind = kKinds.front();
    }
    McpMessage request;
    request.name = std::string(kPackage) + "-request";
    request.add("topic", topic).add("type", kind);
    if (!m_link.send(request)) {
        m_view->setStatus(kNotOffered);
        return;
    }
    m_askedKind = kind;
    m_view->setStatus("Asked the world for " + kind + " on \"" + topic + "\".");
}

void McpHelp::handle(const McpReceived& message) {
    if (message.message == "entry") {
        if (!ensureView()) {
            return;
        }
        const std::string& topic = message.body.value("topic");
        m_view->setEntry(m_askedKind.empty() ? topic : topic + " (" + m_askedKind + ")",
                         entryText(message.body.value("text")));
        m_view->setStatus({});
        m_view->showWindow(false);
    } else if (message.message == "error" && m_view) {
        m_view->setStatus(message.body.value("text"));
    }
}

} // namespace corvane
