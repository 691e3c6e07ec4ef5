#include "core/input_line.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/input_view.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/typed_line_expander.h"
#include "platform/sound.h"

namespace corvane {

InputLine::InputLine(Session& session, InputView& view, CommandSender& sender, MainMenu& menu, Sound& sound)
    : m_session(session)
    , m_view(view)
    , m_sender(sender)
    , m_menu(menu)
    , m_sound(sound) {}

bool InputLine::onInputKey(Key key) {
    if (m_session.SendingFile) {
        m_sound.beep();
        return true;
    }
    switch (key) {
    case Key::Enter:
        SubmitInputLine();
        return true;
    case Key::Escape:
        if (const std::string cleared = m_view.inputText(); !cleared.empty()) {
            if (!m_masked) {
                m_escaped = cleared;
            }
            m_view.clearInputUndoably();
        }
        m_recalled = recallCount();
        m_draft.clear();
        return true;
    case Key::Up:
        if (m_recallChosen && m_recallChosen()) {
            return recall(-1);
        }
        toggleHistory();
        return true;
    case Key::Down:
        return m_recallChosen && m_recallChosen() && recall(+1);
    case Key::HistoryList:
        toggleHistory();
        return true;
    case Key::Tab:
        return m_tab && m_tab();
    case Key::Other:
        break;
    }
    return false;
}

bool InputLine::recall(int step) {
    const std::size_t count = recallCount();
    if (m_recalled > count) {
        m_recalled = count;
    }
    if (m_recalled == count) {
        if (step > 0) {
            return true;
        }
        m_draft = m_view.inputText();
    }
    if (step < 0 && m_recalled == 0) {
        m_sound.beep();
        return true;
    }
    m_recalled = step < 0 ? m_recalled - 1 : m_recalled + 1;
    m_view.setInputText(m_recalled == count               ? m_draft
                        : m_recalled < m_history.size() ? m_history[m_recalled]
                                                        : m_escaped);
    return true;
}

void InputLine::sendAsTyped(const std::string& text) {
    send(text);
}

bool InputLine::send(const std::string& text) {
    if (!m_session.Connected) {
        // Nowhere to send it: the line stays to be sent once connected again.
        if (!text.empty()) {
            m_sound.beep();
        }
        return false;
    }
    // A line the world hides as it is typed (a password) goes as typed: no
    // alias, walk or semicolon may take it apart.
    const std::vector<std::string> lines =
        m_expander != nullptr && !m_masked ? m_expander->expand(text) : std::vector<std::string>{text};
    for (const std::string& line : lines) {
        if (!line.empty() && m_menu.enabled(MenuItem::GameQuit)) {
            m_sender.NoteCommandSent();
        }
        // A typed QUIT is an orderly way out too: the hook goes first.
        if ((line == "QUIT" || line == "quit") && m_sender.arrivalHookSet()) {
            m_sender.removeArrivalHook();
        }
        m_sender.SendCommand(line + std::string(NewLine));
        // What the world hides as it is typed (a password) is neither echoed nor recorded.
        if (m_masked) {
            continue;
        }
        if (m_sent) {
            m_sent(line);
        }
        if (m_session.RecordingMacro >= 0 && m_recorder != nullptr) {
            m_recorder->recordLine(line);
        }
    }
    return true;
}

void InputLine::SubmitInputLine() {
    const std::string text = m_view.inputText();
    if (!send(text)) {
        return;
    }
    if (!text.empty() && !m_masked) {
        if (m_history.size() >= kMaxHistory) {
            m_history.pop_front();
            m_view.removeOldestHistory();
        }
        m_history.push_back(text);
        m_view.appendHistory(text);
    }
    m_view.setInputText("");
    m_escaped.clear();
    m_recalled = m_history.size();
    m_draft.clear();
}

void InputLine::setWorldEchoes(bool echoes) {
    if (echoes != m_masked) {
        m_masked = echoes;
        m_view.setInputMasked(echoes);
    }
}

void InputLine::toggleHistory() {
    if (m_historyVisible) {
        const int selected = m_view.selectedHistory();
        if (selected >= 0 && static_cast<std::size_t>(selected) < m_history.size()) {
            m_view.setInputText(m_history[static_cast<std::size_t>(selected)]);
            m_view.selectAllInput();
        }
        hideHistory();
        m_view.focusInput();
        return;
    }
    m_historyVisible = true;
    m_view.setHistoryVisible(true);
    m_view.focusHistory();
}

void InputLine::onHistoryFocusIn() {
    if (!m_history.empty()) {
        m_view.selectHistory(static_cast<int>(m_history.size()) - 1);
    }
}

void InputLine::onHistoryFocusOut() {
    hideHistory();
}

void InputLine::onHistoryEscape() {
    m_view.selectHistory(-1);
    m_view.focusInput();
    hideHistory();
}

void InputLine::hideHistory() {
    if (m_historyVisible) {
        m_historyVisible = false;
        m_view.setHistoryVisible(false);
    }
}

} // namespace corvane
