#pragma once

#include "mcp/mcp_help_view.h"

#include <string>
#include <vector>

namespace corvane::testing {

// Records what the help window was told; the test plays the user through `events`.
class FakeMcpHelpView : public McpHelpView {
public:
    void setEvents(McpHelpEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
    void setKinds(const std::vector<std::string>& k) override {
        kinds = k;
        chosenKind = k.empty() ? std::string() : k.front();
    }
    std::string topic() const override { return typedTopic; }
    std::string kind() const override { return chosenKind; }
    void setTopic(const std::string& t) override { typedTopic = t; }
    void setLookUpEnabled(bool e) override { lookUpEnabled = e; }
    void setEntry(const std::string& h, const std::string& t) override {
        heading = h;
        text = t;
    }
    void setStatus(const std::string& s) override { status = s; }
    void showWindow(bool takeKeyboard) override {
        shown = true;
        tookKeyboard = takeKeyboard;
    }

    McpHelpEvents* events = nullptr;
    std::string title;
    std::vector<std::string> kinds;
    std::string typedTopic;
    std::string chosenKind;
    bool lookUpEnabled = false;
    std::string heading;
    std::string text;
    std::string status;
    bool shown = false;
    bool tookKeyboard = false;
};

} // namespace corvane::testing
