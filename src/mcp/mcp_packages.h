#pragma once

#include "mcp/mcp_editor.h"
#include "mcp/mcp_gui.h"
#include "mcp/mcp_help.h"
#include "mcp/mcp_link.h"
#include "platform/clock.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane {

struct Session;
class CommandSender;
class ViewFactory;
class Prompts;
class StatusLine;
class OutputSink;
class TextEditor;
class FileWatch;

// The MCP packages Corvane speaks, around the connection's link: which it
// offers, and what each does with the world's messages. Editors the world
// opens live here, several at once.
class McpPackages {
public:
    struct Services {
        const Session& session;
        CommandSender& sender;
        ViewFactory& views;
        Prompts& prompts;
        StatusLine& status;
        OutputSink& output;
        Timers& timers;
    };
    // How long a world's status text stays in the status line.
    static constexpr std::chrono::seconds kStatusTime{10};
    // The world's answer to an editor's send ends at the next prompt or
    // after this much quiet; it is kept to this many lines.
    static constexpr std::chrono::seconds kAnswerQuiet{2};
    static constexpr std::size_t kAnswerLines = 200;
    // Editor windows one world may have open at once; a world asking for
    // more is told no, so it cannot fill the desktop and the memory.
    static constexpr std::size_t kMaxEditorsPerWorld = 16;

    explicit McpPackages(Services services, std::function<std::string()> randomToken = {});
    ~McpPackages();
    McpPackages(const McpPackages&) = delete;
    McpPackages& operator=(const McpPackages&) = delete;

    McpLink& link() { return m_link; }
    // A connection to the world just started; `settingsPath` holds its
    // choice. Editor text kept for this world when Corvane was stopped opens again.
    void connectionStarted(const std::string& settingsPath);
    // Corvane is stopped with no time to ask: the editors' unsent text is
    // kept beside the settings file for the next start.
    void keepDrafts();

    // The world's choice ("MCP=False" in its section turns MCP off).
    static bool worldUsesMcp(const std::string& worldName, const std::string& settingsPath);

    // The world's connection is over: nothing is offered any more.
    void connectionEnded() { m_link.connectionEnded(); }
    // Both are needed for "Edit in My Own Editor"; without them the editors offer it disabled.
    void setTextEditor(TextEditor* editor) { m_ownEditor.editor = editor; }
    void setFileWatch(FileWatch* watch) { m_ownEditor.watch = watch; }

    McpHelp& help() { return m_help; }
    std::size_t editorCount() const { return m_editors.size(); }
    McpEditor& editor(std::size_t index) { return *m_editors.at(index); }
    // The names of the open editors whose text has changes the world has not been sent.
    std::vector<std::string> unsentEditors() const;
    // A line the world showed in the main output (a prompt: its line ended at
    // go-ahead or the like); after an editor's send it is shown there too.
    void worldLine(const std::string& text, bool prompt);

private:
    void simpleEdit(const McpReceived& message);
    void notify(const McpReceived& message);
    void helpMessage(const McpReceived& message);
    // A world's error: in the status line and as a line of the output.
    void showError(const std::string& topic, const std::string& text);
    void status(const McpReceived& message);
    void showStatus(const std::string& text);
    void dropClosedEditors();
    void answerStarted(McpEditor& editor);
    void answerEnded();
    void restartAnswerQuiet();
    void openEditor(McpEditRequest request);
    void reopenDrafts();
    void tooLarge(const McpReceived& message);
    // The message names what to edit and how: a reference, a type Corvane edits, and content.
    static bool editable(const McpReceived& message);

    Services m_services;
    McpLink m_link;
    std::vector<std::unique_ptr<McpEditor>> m_editors;
    McpGui m_gui;
    McpHelp m_help;
    McpExternalEdit::Services m_ownEditor;
    Timers::TimerId m_statusTimer = 0;
    bool m_statusTimerRunning = false;
    std::string m_statusBefore;
    std::string m_statusShown;
    // The editor whose send the world is answering, and the answer so far.
    McpEditor* m_answering = nullptr;
    std::string m_answer;
    std::size_t m_answerLines = 0;
    Timers::TimerId m_answerTimer = 0;
    bool m_editorCapTold = false;
    std::string m_settingsPath;
};

} // namespace corvane
