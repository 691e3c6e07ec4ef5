#include "mcp/mcp_packages.h"

#include "core/output_sink.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "mcp/mcp_drafts.h"
#include "platform/view_factory.h"
#include "settings/settings.h"
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
    m_link.setTooLargeHook([this](const McpReceived& message) { tooLarge(message); });
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
    m_settingsPath = settingsPath;
    m_link.connectionStarted(worldUsesMcp(m_services.session.WorldName, settingsPath));
    reopenDrafts();
}

void McpPackages::keepDrafts() {
    if (m_settingsPath.empty()) {
        return;
    }
    std::vector<McpDraft> drafts;
    for (const auto& editor : m_editors) {
        if (editor->isOpen() && editor->hasUnsentChanges()) {
            const McpEditRequest& request = editor->request();
            drafts.push_back(McpDraft{request.world, request.package, request.reference, request.type, request.name,
                                      editor->currentText()});
        }
    }
    std::string reason;
    if (!McpDrafts(McpDrafts::PathBeside(m_settingsPath)).keep(drafts, reason)) {
        m_services.output.ShowOutput("*** The unsent text of the editor windows could not be kept: " + reason +
                                     "\r\n");
    }
}

void McpPackages::reopenDrafts() {
    if (m_settingsPath.empty()) {
        return;
    }
    std::vector<McpDraft> drafts = McpDrafts(McpDrafts::PathBeside(m_settingsPath)).take(m_services.session.WorldName);
    if (drafts.empty()) {
        return;
    }
    std::string names;
    for (McpDraft& draft : drafts) {
        names += (names.empty() ? "" : ", ") + draft.name;
        openEditor(McpEditRequest{draft.package, draft.reference, draft.type, draft.name, std::move(draft.text),
                                  m_services.session.WorldName, true});
    }
    m_services.output.ShowOutput("*** Editor text not sent when Corvane was stopped is open again: " + names +
                                 ".\r\n");
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

bool McpPackages::editable(const McpReceived& message) {
    static const char* const types[] = {"string", "string-list", "integer", "muf-code", "moo-code"};
    const std::string& type = message.body.value("type");
    return !message.body.value("reference").empty() && message.body.has("content") &&
           std::any_of(std::begin(types), std::end(types), [&](const char* known) { return type == known; });
}

void McpPackages::tooLarge(const McpReceived& message) {
    const bool edit = message.message == "content" &&
                      (message.package == kSimpleEdit || message.package == kFuzzballSimpleEdit);
    const std::string cap = std::to_string(McpStage::kMaxMessageBytes / 1024) + " KiB";
    if (edit) {
        std::string name = message.body.value("name");
        if (name.empty()) {
            name = message.body.value("reference");
        }
        m_services.output.ShowOutput("*** \"" + name + "\" was not opened for editing: the world sent more than the " +
                                     cap + " Corvane takes in one message, and an editor without all of it would "
                                     "send the rest back shortened.\r\n");
        return;
    }
    m_services.output.ShowOutput("*** A " + message.package + " message from the world was larger than the " + cap +
                                 " Corvane takes in one message and was dropped.\r\n");
}

void McpPackages::simpleEdit(const McpReceived& message) {
    if (message.message != "content" || !editable(message)) {
        return;
    }
    dropClosedEditors();
    const std::string& world = m_services.session.WorldName;
    const auto open = static_cast<std::size_t>(
        std::count_if(m_editors.begin(), m_editors.end(),
                      [&](const std::unique_ptr<McpEditor>& editor) { return editor->request().world == world; }));
    if (open >= kMaxEditorsPerWorld) {
        if (!m_editorCapTold) {
            m_editorCapTold = true;
            m_services.output.ShowOutput("*** The world asked for another editor window, but " +
                                         std::to_string(kMaxEditorsPerWorld) +
                                         " are open for it already: close one, then ask again.\r\n");
        }
        return;
    }
    m_editorCapTold = false;
    McpEditRequest request{message.package, message.body.value("reference"), message.body.value("type"),
                           message.body.value("name"), message.body.value("content"), m_services.session.WorldName};
    if (request.name.empty()) {
        request.name = request.reference;
    }
    openEditor(std::move(request));
}

void McpPackages::openEditor(McpEditRequest request) {
    std::unique_ptr<McpEditorView> view = m_services.views.createMcpEditorView();
    if (!view) {
        return;
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
    line.ShowNotice(text);
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
