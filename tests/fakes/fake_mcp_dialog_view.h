#pragma once

#include "mcp/mcp_dialog_view.h"

#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

// Records the controls a world's dialog was given; the test plays the user through `events`.
class FakeMcpDialogView : public McpDialogView {
public:
    void setEvents(McpDialogEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
    void addControl(Control, const std::string& id, const std::string& pane, const std::string& text,
                    const std::string& value) override {
        controls.push_back(pane.empty() ? id : pane + "/" + id);
        texts[id] = text;
        values[id] = value;
    }
    void setValue(const std::string& id, const std::string& value) override { values[id] = value; }
    std::string value(const std::string& id) const override {
        const auto found = values.find(id);
        return found == values.end() ? std::string() : found->second;
    }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }

    McpDialogEvents* events = nullptr;
    std::string title;
    std::vector<std::string> controls;
    std::map<std::string, std::string> texts;
    std::map<std::string, std::string> values;
    bool shown = false;
};

} // namespace corvane::testing
