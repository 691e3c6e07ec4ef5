#pragma once

#include "platform/prompts.h"

class QWidget;

namespace corvane {

// Message boxes and questions as modal Qt dialogs; every text is shown as plain text.
class QtPrompts : public Prompts {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    void message(const std::string& text, const std::string& title, PromptIcon icon) override;
    PromptAnswer ask(const std::string& text, const std::string& title, PromptButtons buttons, PromptIcon icon,
                     PromptAnswer defaultAnswer) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& preset) override;
    void report(const std::string& text, const std::string& title) override;
    // Keys typed while the box appears, and those that follow them without a
    // pause, go on in the main window where the player was typing.
    void messageUnasked(const std::string& text, const std::string& title, PromptIcon icon) override;
    // A pause in typing this long hands the keyboard to the box.
    static constexpr int kTypingPauseMs = 1000;

private:
    QWidget* m_parent = nullptr;
};

} // namespace corvane
