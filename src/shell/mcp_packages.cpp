#include "shell/mcp_packages.h"

#include "core/output_sink.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "settings/settings.h"
#include "platform/view_factory.h"
#include "worlds/typed_names.h"
#include "worlds/world_entry.h"

#include <algorithm>

namespace corvane {

namespace {

const std::string kSimpleEdit = "dns-org-mud-moo-simpleedit";
const std::string kFuzzballSimpleEdit = "org-fuzzball-simpleedit";
const std::string kNotify = "org-fuzzball-notify";
const std::string kStatus = "dns-com-awns-status";

std::vector<McpStage::Package> offered() {
    return {{kSimpleEdit, {1, 0}, {1, 0}},
            {kFuzzballSimpleEdit, {1, 0}, {1, 0}},
            {kNotify, {1, 0}, {1, 0}},
            {kStatus, {1, 0}, {1, 0}},
            {McpHelp::kPackage, {1, 0}, {1, 0}},
            {McpGui::kPackage, {1, 0}, {1, 3}}};
}

} // namespace

McpPackages::McpPackages(Services services, std::function<std::string()> randomToken)
    : m_services(services)
    , m_link(services.sender, offered(), std::move(randomToken))
    , m_gui(m_link, services.views, services.output)
    , m_help(m_link, services.views, services.session) {
    const auto edit = [this](const McpReceived& message) { simpleEdit(message); };
    m_link.setHandler(kSimpleEdit, edit);
    m_link.setHandler(kFuzzballSimpleEdit, edit);
    m_link.setHandler(kNotify, [this](const McpReceived& message) { notify(message); });
    m_link.setHandler(kStatus, [this](const McpReceived& message) { status(message); });
    m_link.setHandler(McpHelp::kPackage, [this](const McpReceived& message) { helpMessage(message); });
    m_link.setHandler(McpGui::kPackage, [this](const McpReceived& message) { m_gui.handle(message); });
}

McpPackages::~McpPackages() {
    if (m_statusTimerRunning) {
        m_services.timers.stop(m_statusTimer);
    }
    answerEnded();
}

void McpPackages::answerStarted(McpEditor& editor) {
    answerEnded();
    m_answering = &editor;
    restartAnswerQuiet();
}

void McpPackages::restartAnswerQuiet() {
    if (m_answerTimer != 0) {
        m_services.timers.stop(m_answerTimer);
    }
    m_answerTimer = m_services.timers.startSingleShot(kAnswerQuiet, [this] {
        m_answerTimer = 0;
        answerEnded();
    });
}

void McpPackages::answerEnded() {
    if (m_answerTimer != 0) {
        m_services.timers.stop(m_answerTimer);
        m_answerTimer = 0;
    }
    m_answering = nullptr;
    m_answer.clear();
    m_answerLines = 0;
}

void McpPackages::worldLine(const std::string& text, bool prompt) {
    if (m_answering == nullptr) {
        return;
    }
    if (prompt || !m_answering->isOpen()) {
        answerEnded();
        return;
    }
    if (m_answerLines < kAnswerLines) {
        m_answer += (m_answerLines == 0 ? "" : "\n") + text;
        ++m_answerLines;
        m_answering->showAnswer(m_answer);
    }
    restartAnswerQuiet();
}

bool McpPackages::worldUsesMcp(const std::string& worldName, const std::string& settingsPath) {
    if (settingsPath.empty() || worldName.empty()) {
        return true;
    }
    return !EqualsNoCase(TrimmedName(ReadSetting(worldName, kMcpKey, settingsPath)), "False");
}

void McpPackages::connectionStarted(const std::string& settingsPath) {
    m_link.connectionStarted(worldUsesMcp(m_services.session.WorldName, settingsPath));
}

std::vector<std::string> McpPackages::unsentEditors() const {
    std::vector<std::string> names;
    for (const auto& editor : m_editors) {
        if (editor->isOpen() && editor->hasUnsentChanges()) {
            names.push_back(editor->request().name);
        }
    }
    return names;
}

void McpPackages::dropClosedEditors() {
    if (m_answering != nullptr && !m_answering->isOpen()) {
        answerEnded();
    }
    m_editors.erase(std::remove_if(m_editors.begin(), m_editors.end(),
                                   [](const std::unique_ptr<McpEditor>& editor) { return !editor->isOpen(); }),
                    m_editors.end());
}

void McpPackages::simpleEdit(const McpReceived& message) {
    if (message.message != "content") {
        return;
    }
    dropClosedEditors();
    std::unique_ptr<McpEditorView> view = m_services.views.createMcpEditorView();
    if (!view) {
        return;
    }
    McpEditRequest request{message.package, message.body.value("reference"), message.body.value("type"),
                           message.body.value("name"), message.body.value("content"), m_services.session.WorldName};
    if (request.name.empty()) {
        request.name = request.reference;
    }
    const int serial = m_link.connectionSerial();
    McpEditor::Hooks hooks;
    hooks.send = [this, serial](const McpMessage& set) {
        // An editor from an earlier connection must not write into a new one.
        return serial == m_link.connectionSerial() && m_link.send(set);
    };
    hooks.ownEditor = m_ownEditor;
    hooks.sent = [this](McpEditor& editor) { answerStarted(editor); };
    m_editors.push_back(
        std::make_unique<McpEditor>(std::move(view), m_services.prompts, std::move(request), std::move(hooks)));
}

void McpPackages::notify(const McpReceived& message) {
    if (message.message != "error") {
        return;
    }
    showError(message.body.value("topic"), message.body.value("text"));
}

void McpPackages::helpMessage(const McpReceived& message) {
    if (message.message == "error") {
        showError(message.body.value("topic"), message.body.value("text"));
    }
    m_help.handle(message);
}

void McpPackages::showError(const std::string& topic, const std::string& text) {
    showStatus(text);
    m_services.output.ShowOutput("*** " + (topic.empty() ? std::string() : topic + ": ") + text + "\r\n");
}

void McpPackages::status(const McpReceived& message) {
    if (message.message.empty()) {
        showStatus(message.body.value("text"));
    }
}

void McpPackages::showStatus(const std::string& text) {
    StatusLine& line = m_services.status;
    if (m_statusTimerRunning) {
        m_services.timers.stop(m_statusTimer);
    } else {
        m_statusBefore = line.text();
    }
    m_statusShown = text;
    line.SetStatus(text);
    m_statusTimerRunning = true;
    m_statusTimer = m_services.timers.startSingleShot(kStatusTime, [this] {
        m_statusTimerRunning = false;
        // A newer status (off line, paused) stays.
        if (m_services.status.text() == m_statusShown) {
            m_services.status.SetStatus(m_statusBefore);
        }
    });
}

} // namespace corvane
