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
};

} // namespace corvane
