// MCP on received lines: any lines through the stage after a real opening,
// read whole and as pieces of over-long lines. Nothing may crash or grow
// without bound, a message the grammar read must format and read back to the
// same values, and a line that shows must never start with the out-of-band
// marker unless it arrived quoted.

#include "mcp/mcp_stage.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace corvane;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void roundTrip(std::string_view text) {
    const McpLine parsed = ParseMcpLine(text);
    if (parsed.kind != McpLine::Kind::Start || !parsed.multilineKeys.empty()) {
        return;
    }
    const std::vector<std::string> lines =
        FormatMcpMessage(parsed.message, parsed.authKey, [] { return std::string("tag"); });
    require(lines.size() == 1 && lines[0].rfind("#$#", 0) == 0);
    const McpLine again = ParseMcpLine(std::string_view(lines[0]).substr(3));
    require(again.kind == McpLine::Kind::Start);
    require(again.message.name == parsed.message.name && again.authKey == parsed.authKey);
    require(again.message.values.size() == parsed.message.values.size());
    for (std::size_t i = 0; i < again.message.values.size(); ++i) {
        require(again.message.values[i].key == parsed.message.values[i].key);
        require(again.message.values[i].value == parsed.message.values[i].value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    McpStage stage({{"dns-org-mud-moo-simpleedit", {1, 0}, {1, 0}}, {"org-fuzzball-gui", {1, 0}, {1, 3}}},
                   [] { return std::string("KEY"); });
    McpStage::Output out;
    std::string opening = "#$#mcp version: 2.1 to: 2.1";
    stage.line(opening, out);
    std::size_t from = 0;
    while (from <= input.size()) {
        std::size_t end = input.find('\n', from);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        std::string_view line = input.substr(from, end - from);
        from = end + 1;
        // Line ends never reach the stage; a quoted value loses them when sent.
        if (line.size() > 3 && line.find('\r') == std::string_view::npos) {
            roundTrip(line.substr(3));
        }
        // A line holding a tab arrives in pieces cut at each tab. As in the
        // client, once a piece is not kept the rest of the line is no
        // business of the stage.
        std::size_t tab;
        bool midLine = false;
        while ((tab = line.find('\t')) != std::string_view::npos) {
            midLine = midLine || !stage.keepsPiece(line.substr(0, tab));
            line.remove_prefix(tab + 1);
        }
        if (midLine) {
            continue;
        }
        const bool quoted = line.rfind("#$\"", 0) == 0;
        std::string text(line);
        out = McpStage::Output{};
        stage.line(text, out);
        require(!out.show || quoted || text.rfind("#$#", 0) != 0);
        require(text.size() <= input.size());
        for (const McpReceived& message : out.messages) {
            std::size_t bytes = 0;
            for (const McpMessage::Value& value : message.body.values) {
                bytes += value.value.size();
            }
            require(bytes <= McpStage::kMaxMessageBytes);
        }
    }
    return 0;
}
