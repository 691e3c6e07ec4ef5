#pragma once

#include <string>
#include <vector>

namespace corvane {

// The "Server Info" window: what the world says about itself, the main
// facts above and the rest as a table of names and values, all plain text.
// It only shows; its Close button and Escape hide it.
class ServerInfoView {
public:
    struct Row {
        std::string name;
        std::string value;
    };

    virtual ~ServerInfoView() = default;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setSummary(const std::vector<Row>& rows) = 0;
    virtual void setTable(const std::vector<Row>& rows) = 0;
    // When the values were received.
    virtual void setNote(const std::string& note) = 0;
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;
};

} // namespace corvane
