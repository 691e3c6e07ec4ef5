#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One MCP message: its name and its keyword values. Names and keys are kept
// in lower case (they compare without case); values keep their case.
struct McpMessage {
    struct Value {
        std::string key;
        std::string value;
        // Sent and received as one continuation line per line of the value.
        bool multiline = false;
    };

    std::string name;
    std::vector<Value> values;

    // The value of a key, or an empty text when the message lacks it.
    const std::string& value(std::string_view key) const;
    bool has(std::string_view key) const;
    McpMessage& add(std::string key, std::string value, bool multiline = false);
};

// One received line after "#$#", as the grammar reads it.
struct McpLine {
    enum class Kind { Invalid, Start, Continue, End };
    Kind kind = Kind::Invalid;
    // Start: the message (multiline values empty for now), its key ("" for
    // the "mcp" message, which has none) and the keys whose lines follow.
    McpMessage message;
    std::string authKey;
    std::vector<std::string> multilineKeys;
    // Continue and End (and a Start with multiline keys): the data tag.
    std::string tag;
    // Continue: the key and one line of its value, verbatim.
    std::string key;
    std::string text;
};

// Reads the text after the "#$#" that marks an out-of-band line. Anything
// the grammar does not allow (a bad name, an unterminated quote, a key given
// twice, multiline keys without a data tag) reads as Invalid.
McpLine ParseMcpLine(std::string_view text);

// The lines that carry a message, "#$#" included, without line ends. A value
// holding a line feed, or marked multiline, goes as continuation lines under
// a tag from `newTag`. The "mcp" message carries no key.
std::vector<std::string> FormatMcpMessage(const McpMessage& message, const std::string& authKey,
                                          const std::function<std::string()>& newTag);

// A value as it goes on one line: bare when the grammar allows, else quoted.
std::string McpQuoted(std::string_view value);

} // namespace corvane
