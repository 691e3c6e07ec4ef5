#include "mcp/mcp_editor.h"

#include "mcp/mcp_stage.h"
#include "platform/prompts.h"

namespace corvane {

namespace {

bool singleLine(const std::string& type) {
    return type == "string" || type == "integer";
}

} // namespace

McpEditor::McpEditor(std::unique_ptr<McpEditorView> view, Prompts& prompts, McpEditRequest request, Hooks hooks)
    : m_view(std::move(view))
    , m_prompts(prompts)
    , m_request(std::move(request))
    , m_hooks(std::move(hooks)) {
    if (singleLine(m_request.type)) {
        // A one-line field keeps the first line only; the rest could not be seen.
        m_request.content = m_request.content.substr(0, m_request.content.find('\n'));
    }
    m_sentText = m_request.content;
    m_unsentDraft = m_request.fromDraft;
    m_view->setEvents(this);
    m_view->setTitle(m_request.name + " - " + m_request.world);
    m_view->setSingleLine(singleLine(m_request.type));
    const bool code = m_request.type == "muf-code" || m_request.type == "moo-code";
    m_view->setSendCaption(code ? "&Compile" : "&Send");
    m_view->setProse(!code);
    m_view->setText(m_request.content);
    m_view->setOwnEditor(m_hooks.ownEditor.usable() ? McpEditorView::OwnEditor::Ready
                                                    : McpEditorView::OwnEditor::Unavailable);
    m_view->setStatus(m_unsentDraft ? "Kept when Corvane was stopped; the world has not had this text yet."
                      : code        ? "Ctrl+S sends the program and the world compiles it."
                                    : "Ctrl+S sends the text.");
    m_view->showWindow();
}

McpEditor::~McpEditor() {
    m_external.reset();
    m_view->setEvents(nullptr);
}

std::string McpEditor::currentText() const {
    std::string text = m_view->text();
    // The editor's own last line end is not a line of the text.
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

bool McpEditor::hasUnsentChanges() const {
    return m_unsentDraft || currentText() != m_sentText;
}

void McpEditor::onSend() {
    send(currentText());
}

bool McpEditor::send(const std::string& text) {
    McpMessage set;
    set.name = m_request.package + "-set";
    set.add("reference", m_request.reference).add("type", m_request.type);
    // Lists and programs go line by line even when they hold one line or none.
    set.add("content", text, !singleLine(m_request.type));
    if (m_hooks.send && m_hooks.send(set)) {
        m_sentText = text;
        m_unsentDraft = false;
        m_view->setStatus("Sent to " + m_request.world + ".");
        m_view->setAnswer("");
        if (m_hooks.sent) {
            m_hooks.sent(*this);
        }
        return true;
    }
    m_view->setStatus("Not sent: the connection that opened this editor has closed. Copy your text to keep it.");
    return false;
}

void McpEditor::showAnswer(const std::string& lines) {
    m_view->setAnswer(lines);
    m_view->setStatus("Sent to " + m_request.world + "; its answer is below.");
}

void McpEditor::onCloseRequested() {
    if (hasUnsentChanges() &&
        m_prompts.ask("\"" + m_request.name + "\" has changes that were not sent.\r\rClose it and lose them?",
                      "Corvane", PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::No) != PromptAnswer::Yes) {
        return;
    }
    m_open = false;
    // The temporary file goes with the window; the player's editor may keep its copy.
    m_external.reset();
    m_view->closeWindow();
    if (m_hooks.closed) {
        m_hooks.closed();
    }
}

void McpEditor::onOwnEditor() {
    if (inOwnEditor()) {
        m_external->stop();
        m_view->setOwnEditor(McpEditorView::OwnEditor::Ready);
        m_view->setStatus("Saves in your own editor are no longer sent.");
        return;
    }
    if (!m_hooks.ownEditor.usable()) {
        return;
    }
    if (!m_external) {
        const std::string extension = m_request.type == "muf-code" ? ".muf" : ".txt";
        m_external = std::make_unique<McpExternalEdit>(m_hooks.ownEditor, m_request.name + extension,
                                                       [this](const std::string& text) { ownEditorSaved(text); });
    }
    std::string reason;
    if (!m_external->start(currentText(), reason)) {
        m_view->setStatus(reason.empty() ? "No text editor could be started." : reason);
        return;
    }
    m_view->setOwnEditor(McpEditorView::OwnEditor::InUse);
    m_view->setStatus("In your own editor: each save there is sent, until you stop or close this window.");
}

void McpEditor::ownEditorSaved(const std::string& text) {
    const bool oneLine = singleLine(m_request.type);
    const std::string kept = oneLine ? text.substr(0, text.find('\n')) : text;
    m_view->setText(kept);
    if (kept.size() > McpStage::kMaxMessageBytes) {
        m_view->setStatus("Not sent: the text is larger than a world takes in one message (256 KiB).");
        return;
    }
    if (send(kept)) {
        m_view->setStatus("Saved in your own editor and sent to " + m_request.world + ".");
    }
}

} // namespace corvane
