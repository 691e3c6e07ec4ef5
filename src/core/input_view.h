#pragma once

#include <cstddef>
#include <string>

namespace corvane {

// The input line (Text1) and its command history list (List1).
class InputView {
public:
    virtual ~InputView() = default;
    virtual std::string inputText() const = 0;
    virtual void setInputText(const std::string& text) = 0;
    // Empties the line so that the line's own undo (Ctrl+Z) brings it back.
    virtual void clearInputUndoably() = 0;
    // The caret as a byte offset into inputText().
    virtual std::size_t inputCaret() const = 0;
    virtual void setInputCaret(std::size_t offset) = 0;
    virtual void selectAllInput() = 0;
    virtual void focusInput() = 0;
    // Puts text at the caret, replacing the selection.
    virtual void insertText(const std::string& text) = 0;
    // While a world hides what is typed (a password), the line shows dots.
    virtual void setInputMasked(bool masked) = 0;

    virtual void appendHistory(const std::string& entry) = 0;
    virtual void removeOldestHistory() = 0;
    // -1 clears the selection.
    virtual void selectHistory(int index) = 0;
    virtual int selectedHistory() const = 0;
    virtual void setHistoryVisible(bool visible) = 0;
    virtual void focusHistory() = 0;
};

} // namespace corvane
