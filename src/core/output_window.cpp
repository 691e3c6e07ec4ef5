#include "core/output_window.h"

#include "core/input_view.h"
#include "core/main_menu.h"
#include "core/output_habits.h"
#include "core/output_buffer.h"
#include "core/output_view.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "core/web_word.h"
#include "platform/clipboard.h"

#include <algorithm>

namespace corvane {

OutputWindow::OutputWindow(Session& session, const OutputHabits& settings, OutputView& view, OutputBuffer& buffer,
                           StatusLine& status, InputView& input, Clipboard& clipboard, MainMenu& menu,
                           Hooks hooks)
    : m_session(session)
    , m_settings(settings)
    , m_view(view)
    , m_buffer(buffer)
    , m_status(status)
    , m_input(input)
    , m_clipboard(clipboard)
    , m_menu(menu)
    , m_hooks(std::move(hooks)) {}

std::string OutputWindow::PauseBarText(std::size_t lines) {
    const std::string count = lines == 0   ? std::string("no new lines")
                              : lines == 1 ? std::string("1 new line")
                                           : std::to_string(lines) + " new lines";
    return "Paused \xE2\x80\x94 " + count + " \xE2\x80\x94 Esc or click the input line to go on";
}

std::size_t OutputWindow::heldLines() const {
    return m_hooks.heldLines ? m_hooks.heldLines() : 0;
}

void OutputWindow::onFocusIn() {
    m_focused = true;
    // A click that selects nothing leaves the text running, when so chosen.
    if (pauseOnlySelecting() && !m_view.hasSelection()) {
        return;
    }
    pause();
}

void OutputWindow::onSelectionChanged(bool selected) {
    if (!m_focused || !pauseOnlySelecting() || selected == m_session.OutputPaused) {
        return;
    }
    if (selected) {
        pause();
    } else {
        resume();
    }
}

void OutputWindow::onFocusOut() {
    m_focused = false;
    if (pauseOnlySelecting() && !m_session.OutputPaused) {
        return;
    }
    resume();
}

void OutputWindow::pause() {
    m_session.OutputPaused = true;
    if (m_session.Connected) {
        m_status.SetStatus(status::OutputPaused);
        m_heldLines = heldLines();
        m_view.setPauseBar(PauseBarText(m_heldLines));
    }
}

void OutputWindow::resume() {
    m_session.OutputPaused = false;
    m_view.setPauseBar("");
    m_status.SetStatus(m_session.Connected ? status::OnLine : status::OffLine);
    if (m_hooks.processIncoming) {
        m_hooks.processIncoming();
    }
}

void OutputWindow::textHeld(std::string_view bytes) {
    if (m_session.OutputPaused && m_session.Connected) {
        m_heldLines += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
        m_view.setPauseBar(PauseBarText(m_heldLines));
    }
}

void OutputWindow::onDoubleClick() {
    int caret = 0;
    const std::string line = m_view.caretLine(caret);
    std::u32string characters;
    std::size_t pos = 0;
    while (pos < line.size()) {
        characters.push_back(NextCodePoint(line, pos));
    }
    const std::string word = WebWordAt(characters, static_cast<std::size_t>(std::max(caret, 0)));
    if (word.empty() || !IsWebAddress(word)) {
        return;
    }
    if (m_hooks.openInBrowser) {
        m_hooks.openInBrowser(word);
    }
    onLinkClicked();
}

void OutputWindow::onLinkClicked() {
    // The click that paused the output is over.
    m_input.focusInput();
    m_focused = false;
    resume();
}

void OutputWindow::onEditMenuAboutToShow() {
    m_menu.setEnabled(MenuItem::EditCopy, m_view.hasSelection());
    const bool clipboardText = m_clipboard.hasText();
    m_menu.setEnabled(MenuItem::EditPaste, clipboardText);
    m_menu.setEnabled(MenuItem::EditClear, clipboardText);
}

void OutputWindow::EditCopy() {
    m_clipboard.clear();
    m_clipboard.setText(m_view.selectedText());
    m_menu.setEnabled(MenuItem::EditPaste, true);
    m_view.collapseSelection();
    m_input.focusInput();
}

void OutputWindow::EditPaste() {
    m_input.insertText(m_clipboard.text());
}

void OutputWindow::EditClear() {
    m_clipboard.clear();
    m_menu.setEnabled(MenuItem::EditClear, false);
    m_menu.setEnabled(MenuItem::EditPaste, false);
}

void OutputWindow::EditSelectAll() {
    m_view.focusOutput();
    m_view.selectAll();
}

void OutputWindow::ViewClear() {
    m_buffer.clear();
    m_buffer.flush();
}

void OutputWindow::ViewRefresh() {
    m_view.repaint();
}

void OutputWindow::updateGeometry(int outputWidth) {
    m_buffer.setGeometry(outputWidth, m_view.characterWidth(U'a'), m_settings.CharsPerLine,
                         m_settings.MaxOutputChars);
}

} // namespace corvane
