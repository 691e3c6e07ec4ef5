#pragma once

#include "platform/choosers.h"

class QWidget;

namespace corvane {

// The toolkit's file, folder, font and colour dialogs. File patterns match without
// regard to case (a file called macr0001.cmd shows under *.CMD).
class QtChoosers : public Choosers {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    std::optional<std::string> chooseFile(const FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startFolder) override;
    std::optional<FontChoice> chooseFont(const FontChoice& preset) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t preset) override;

private:
    // The font dialog with a colour beside it, for the trigger fonts.
    std::optional<FontChoice> chooseFontWithColour(const FontChoice& preset);
    QWidget* m_parent = nullptr;
};

} // namespace corvane
