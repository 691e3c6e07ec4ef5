#include "mcp/mcp_external_edit.h"

#include "macros/text_editor.h"
#include "mcp/mcp_link.h"
#include "settings/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace corvane {

namespace {

constexpr std::size_t kNameCharacters = 40;
// Far past what a world takes in one message; a bigger file is not read.
constexpr std::uint64_t kMaxFileBytes = 8u * 1024u * 1024u;

std::string safeName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        if (out.size() >= kNameCharacters) {
            break;
        }
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_';
        out.push_back(plain ? c : '_');
    }
    return out.empty() ? "text" : out;
}

// The editor's own line ends (CR LF on some) and its final line end are not
// part of the text.
std::string fileText(std::string bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        out.push_back(bytes[i]);
    }
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

} // namespace

McpExternalEdit::McpExternalEdit(Services services, const std::string& baseName,
                                 std::function<void(const std::string&)> saved)
    : m_services(services)
    , m_saved(std::move(saved)) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        folder = "/tmp";
    }
    const std::filesystem::path name(baseName);
    m_path = (folder / ("corvane-" + McpLink::randomToken() + "-" + safeName(name.stem().string()) +
                        name.extension().string()))
                 .string();
}

McpExternalEdit::~McpExternalEdit() {
    stop();
    if (m_written) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
}

bool McpExternalEdit::start(const std::string& text, std::string& reason) {
    reason.clear();
    if (!m_services.usable()) {
        reason = "No text editor can be started from here.";
        return false;
    }
    stop();
    // A new file is readable by its owner only.
    if (!WriteFileAtomically(m_path, text.empty() ? text : text + "\n", reason)) {
        reason = "Could not write " + m_path + ": " + reason;
        return false;
    }
    m_written = true;
    m_lastText = text;
    // Watched before the editor starts: a quick first save is not missed.
    m_watch = m_services.watch->watch(m_path, [this] { onChanged(); });
    m_watching = true;
    if (!m_services.editor->open(m_path, "Corvane")) {
        stop();
        return false;
    }
    return true;
}

void McpExternalEdit::stop() {
    if (m_watching) {
        m_services.watch->unwatch(m_watch);
        m_watching = false;
    }
}

void McpExternalEdit::onChanged() {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(m_path, error);
    if (error || size > kMaxFileBytes) {
        return;
    }
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        return;
    }
    const std::string text = fileText(std::string(std::istreambuf_iterator<char>(in), {}));
    if (text == m_lastText) {
        return;
    }
    m_lastText = text;
    m_saved(text);
}

} // namespace corvane
