#pragma once

#include <optional>
#include <string>

namespace corvane {

enum class PromptIcon { None, Information, Exclamation, Question };
enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// Modal message boxes and questions. These are the one kind of wait that may
// block: the event loop keeps running underneath, so socket events still arrive.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void message(const std::string& text, const std::string& title,
                         PromptIcon icon = PromptIcon::Exclamation) = 0;
    virtual PromptAnswer ask(const std::string& text, const std::string& title, PromptButtons buttons,
                             PromptIcon icon, PromptAnswer defaultAnswer) = 0;
    virtual std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                             const std::string& preset) = 0;
    // A box of information that may run long (an import's report): its
    // text scrolls instead of growing the box past the screen.
    virtual void report(const std::string& text, const std::string& title) {
        message(text, title, PromptIcon::Information);
    }
    // A box that comes by itself (the world closed the connection) while the
    // player may be typing: what is typed on as it appears is not the box's.
    virtual void messageUnasked(const std::string& text, const std::string& title, PromptIcon icon) {
        message(text, title, icon);
    }
};

} // namespace corvane
