#pragma once

#include "macros/user_macros_view.h"

#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

// The "User Macros" dialog in memory; the test plays the user through
// type(), pick() and the events.
class FakeUserMacrosView : public UserMacrosView {
public:
    void setEvents(UserMacrosEvents* e) override { events = e; }
    void setNames(const std::vector<std::string>& list) override { names = list; }
    void selectName(int index) override {
        selected = index;
        nameBox = names[static_cast<std::size_t>(index)];
    }
    int selectedName() const override { return selected; }
    std::string nameText() const override { return nameBox; }
    void replaceName(int index, const std::string& name) override {
        names[static_cast<std::size_t>(index)] = name;
    }
    void setFileText(const std::string& text) override { fileBox = text; }
    std::string fileText() const override { return fileBox; }
    void setRecordCaption(const std::string& caption) override { recordCaption = caption; }
    void setControlEnabled(Control control, bool enabled) override { enabledControls[control] = enabled; }
    void setDefaultButton(Control control) override { defaultButton = control; }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }

    // The user types a new name into the name box.
    void typeName(const std::string& text) {
        nameBox = text;
        selected = -1;
        events->onNameEdited();
    }
    void pick(int index) {
        selectName(index);
        events->onNamePicked(index);
    }
    bool enabled(Control control) const {
        const auto it = enabledControls.find(control);
        return it == enabledControls.end() || it->second;
    }

    UserMacrosEvents* events = nullptr;
    std::vector<std::string> names;
    int selected = -1;
    std::string nameBox;
    std::string fileBox;
    std::string recordCaption;
    std::map<Control, bool> enabledControls;
    Control defaultButton = Control::Ok;
    bool shown = false;
};

} // namespace corvane::testing
