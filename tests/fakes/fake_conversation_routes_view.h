#pragma once

#include "conversations/conversation_routes_view.h"

#include <map>

namespace corvane::testing {

class FakeConversationRoutesView : public ConversationRoutesView {
public:
    void setEvents(ConversationRoutesEvents* e) override { events = e; }
    void setRows(const std::vector<std::string>& r) override { rows = r; }
    void selectRow(int row) override { selected = row; }
    void setFields(const ConversationRouteFields& f) override { shown = f; }
    ConversationRouteFields fields() const override { return shown; }
    void setError(const std::string& e) override { error = e; }
    void setButtonEnabled(Button button, bool enabled) override { buttons[button] = enabled; }
    void showWindow() override { ++shows; }

    // Types into the selected route's fields as the window would.
    template <typename Edit> void edit(Edit change) {
        change(shown);
        events->onFieldsEdited();
    }

    ConversationRoutesEvents* events = nullptr;
    std::vector<std::string> rows;
    int selected = -1;
    ConversationRouteFields shown;
    std::string error;
    std::map<Button, bool> buttons;
    int shows = 0;
};

} // namespace corvane::testing
