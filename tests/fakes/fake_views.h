#pragma once

#include "core/button_bars.h"
#include "core/display_view.h"
#include "core/input_view.h"
#include "core/main_menu.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "core/status_view.h"
#include "fakes/fake_address_book_view.h"
#include "fakes/fake_certificate_view.h"
#include "fakes/fake_character_view.h"
#include "fakes/fake_conversation_view.h"
#include "fakes/fake_mcp_dialog_view.h"
#include "fakes/fake_mcp_editor_view.h"
#include "fakes/fake_mcp_help_view.h"
#include "fakes/fake_notice_view.h"
#include "fakes/fake_player_list.h"
#include "fakes/fake_preferences_view.h"
#include "fakes/fake_room_views.h"
#include "fakes/fake_session_history_view.h"
#include "fakes/fake_user_macros_view.h"
#include "platform/view_factory.h"
#include "shell/main_layout_view.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

// The main window's views in memory; every change is recorded.
class FakeMainWindow : public MainWindowView,
                       public DisplayView,
                       public StatusView,
                       public MenuView,
                       public ButtonBarView,
                       public InputView,
                       public OutputView,
                       public MainLayoutView {
public:
    void setCaption(const std::string& text) override { captionText = text; }
    std::string caption() const override { return captionText; }
    void setBusyCursor(bool busy) override { busyCursor = busy; }
    bool isMinimised() const override { return minimised; }
    void restoreFromMinimised() override {
        minimised = false;
        ++restores;
    }
    void setActivityIcon(bool activity) override { activityIconShown = activity; }
    bool activityIcon() const override { return activityIconShown; }

    void setLabelText(int label, const std::string& text) override {
        labels[static_cast<std::size_t>(label)] = text;
        if (label == StatusLabel) {
            statusHistory.push_back(text);
        }
    }
    void setLabelColours(int label, Rgb text, Rgb background) override {
        labelColours[static_cast<std::size_t>(label)] = {text, background};
    }
    void setLabelVisible(int label, bool visible) override { labelVisible[static_cast<std::size_t>(label)] = visible; }
    void setSecureIndicator(const std::string& protocol) override { secureIndicator = protocol; }

    void setMenuEnabled(MenuItem item, bool enabled) override { menuEnabled[item] = enabled; }
    void setMenuChecked(MenuItem item, bool checked) override { menuChecked[item] = checked; }

    void setButtonEnabled(Bar bar, int index, bool enabled) override {
        (bar == Bar::Command ? commandEnabled : macroEnabled)[static_cast<std::size_t>(index)] = enabled;
    }
    void setButtonCaption(Bar bar, int index, const std::string& caption) override {
        (bar == Bar::Command ? commandCaptions : macroCaptions)[static_cast<std::size_t>(index)] = caption;
    }

    std::string inputText() const override { return input; }
    void setInputText(const std::string& text) override {
        input = text;
        caret = text.size();
    }
    void clearInputUndoably() override {
        undoneInput = input;
        setInputText("");
    }
    std::size_t inputCaret() const override { return std::min(caret, input.size()); }
    void setInputCaret(std::size_t offset) override { caret = offset; }
    void selectAllInput() override { inputAllSelected = true; }
    void focusInput() override { focus = "input"; }
    void insertText(const std::string& text) override { input += text; }
    void setInputMasked(bool masked) override { inputMasked = masked; }
    void appendHistory(const std::string& entry) override { history.push_back(entry); }
    void removeOldestHistory() override { history.erase(history.begin()); }
    void selectHistory(int index) override { historySelection = index; }
    int selectedHistory() const override { return historySelection; }
    void setHistoryVisible(bool visible) override { historyShown = visible; }
    void focusHistory() override { focus = "history"; }

    // The output box as one string, "\n" between lines.
    void trimFront(int lines, int characters) override {
        for (int i = 0; i < lines; ++i) {
            const auto end = output.find('\n');
            output.erase(0, end == std::string::npos ? output.size() : end + 1);
        }
        std::size_t bytes = 0;
        for (int i = 0; i < characters && bytes < output.size(); ++i) {
            ++bytes;
            while (bytes < output.size() && (static_cast<unsigned char>(output[bytes]) & 0xC0) == 0x80) {
                ++bytes;
            }
        }
        output.erase(0, bytes);
        ++trims;
    }
    void clearText() override {
        output.clear();
        rebuild = false;
    }
    void appendText(std::string_view utf8, const std::vector<OutputSpan>& spans,
                    const std::vector<TriggerLook>& looks) override {
        for (const OutputSpan& span : spans) {
            appendedSpans.push_back({std::string(utf8.substr(span.start, span.length)), span});
        }
        lookTable = looks;
        output.append(utf8);
    }
    void appendLineBreak() override { output += '\n'; }
    void endUpdate() override { ++updates; }
    void repaint() override { ++repaints; }
    int outputWidth() const override { return outputWidthTwips; }
    int characterWidth(char32_t) const override { return characterWidthTwips; }
    int visibleRows() const override { return rows; }
    bool wantsRebuild() const override { return rebuild; }
    bool hasSelection() const override { return !selection.empty(); }
    std::string selectedText() const override { return selection; }
    void collapseSelection() override { selection.clear(); }
    void selectAll() override { selection = output; }
    void focusOutput() override { focus = "output"; }
    void setPauseBar(const std::string& text) override { pauseBar = text; }
    int chooseFromMenu(const std::vector<std::string>& captions) override {
        menuCaptions.push_back(captions);
        return menuChoice;
    }
    std::string caretLine(int& caretOffset) const override {
        caretOffset = clickedCharacter;
        return clickedLine;
    }

    std::string captionText;
    // Each link menu shown, and the index the player picks from it (-1: none).
    std::vector<std::vector<std::string>> menuCaptions;
    int menuChoice = -1;
    bool busyCursor = false;
    bool minimised = false;
    int restores = 0;
    bool activityIconShown = false;
    std::array<std::string, 4> labels;
    std::array<std::pair<Rgb, Rgb>, 4> labelColours{};
    std::array<bool, 4> labelVisible{true, true, true, true};
    std::vector<std::string> statusHistory;
    std::string secureIndicator;
    std::map<MenuItem, bool> menuEnabled;
    std::map<MenuItem, bool> menuChecked;
    std::array<bool, kButtonsPerBar> commandEnabled{};
    std::array<bool, kButtonsPerBar> macroEnabled{};
    std::array<std::string, kButtonsPerBar> commandCaptions;
    std::array<std::string, kButtonsPerBar> macroCaptions;
    std::string input;
    // What the last clearInputUndoably() took away (Ctrl+Z would bring it back).
    std::string undoneInput;
    bool inputMasked = false;
    std::size_t caret = std::string::npos;
    bool inputAllSelected = false;
    std::string focus;
    std::vector<std::string> history;
    int historySelection = -1;
    bool historyShown = false;
    std::string output;
    std::string pauseBar;
    int trims = 0;
    int updates = 0;
    int repaints = 0;
    int outputWidthTwips = 9375 + 375; // 125 characters of 75 twips
    int characterWidthTwips = 75;
    int rows = 30;
    bool rebuild = false;
    Font inputFont() const override { return font; }
    bool setInputFontName(const std::string& name) override {
        if (name.empty() || name == unknownFont) {
            return false;
        }
        font.name = name;
        return true;
    }
    void setInputFontSize(float size) override { font.size = size; }
    void setInputFontStyle(bool bold, bool italic) override {
        font.bold = bold;
        font.italic = italic;
    }
    std::int32_t inputTextColour() const override { return textColour; }
    std::int32_t inputBackColour() const override { return backColour; }
    void setDisplayTextColour(std::int32_t colour) override { textColour = colour; }
    void setDisplayBackColour(std::int32_t colour) override { backColour = colour; }
    void ApplyDisplaySettings() override { ++displaySettingsApplied; }
    Geometry windowGeometry() const override { return geometry; }
    void setWindowTop(int top) override { geometry.top = top; }
    void setWindowLeft(int left) override { geometry.left = left; }
    void setWindowHeight(int height) override { geometry.height = height; }
    void setWindowWidth(int width) override { geometry.width = width; }
    int screenHeight() const override { return screen.height; }
    int screenWidth() const override { return screen.width; }
    Geometry screenArea() const override { return screen; }
    void setBarVisible(bool commandBar, bool visible) override { (commandBar ? commandBarShown : macroBarShown) = visible; }
    MainLayoutView& layoutView() override { return *this; }

    // The layout works on `geometry`, the whole window.
    Size windowSize() const override { return {geometry.width, geometry.height}; }
    void setWindowSize(Size size) override {
        geometry.width = size.width;
        geometry.height = size.height;
    }
    void setMinimumWindowSize(Size size) override { minimumSize = size; }
    int displayTextHeight() const override { return textHeight; }
    int inputHeight() const override { return placedInputHeight; }
    void setInputHeight(int height) override { placedInputHeight = height; }
    void placeInput(int top, int width) override { placedInput = {top, width}; }
    void placeBar(bool commandBar, int top, int width) override {
        (commandBar ? placedCommandBar : placedMacroBar) = {top, width};
    }
    void placeOutput(int top, int width, int height) override { placedOutput = {top, width, height}; }
    void placeStatusLabels(int top, int width) override { placedStatus = {top, width}; }

    Font font{"Courier New", 9, false, false};
    std::string unknownFont = "No Such Font";
    std::int32_t textColour = 0xD8D8D8;
    std::int32_t backColour = 0x1F1B18;
    int displaySettingsApplied = 0;
    // 125 characters of 75 twips fit the output box of a window this wide.
    Geometry geometry{1200, 1500, 9000, 125 * 75 + 365 + 375};
    Geometry screen{0, 0, 11520, 15360};
    bool commandBarShown = true;
    bool macroBarShown = true;
    struct Placed {
        int top = -1;
        int width = -1;
        int height = -1;
    };
    Size minimumSize;
    int textHeight = 285;
    int placedInputHeight = 285;
    Placed placedInput;
    Placed placedCommandBar;
    Placed placedMacroBar;
    Placed placedOutput;
    Placed placedStatus;

    std::string selection;
    std::string clickedLine;
    int clickedCharacter = 0;
    std::vector<std::pair<std::string, OutputSpan>> appendedSpans;
    std::vector<TriggerLook> lookTable;
};

class FakeViewFactory : public ViewFactory {
public:
    std::unique_ptr<ConversationView> createConversationView() override {
        auto view = std::make_unique<FakeConversationView>();
        conversations.push_back(view.get());
        return view;
    }
    // Every conversation window made, in order.
    std::vector<FakeConversationView*> conversations;
    std::unique_ptr<ConversationListView> createConversationListView() override {
        auto view = std::make_unique<FakeConversationListView>();
        conversationList = view.get();
        return view;
    }
    FakeConversationListView* conversationList = nullptr;
    std::unique_ptr<ConversationTabsView> createConversationTabsView() override {
        if (!tabsWindow) {
            return nullptr;
        }
        auto view = std::make_unique<FakeConversationTabsView>();
        conversationTabs = view.get();
        return view;
    }
    // False: there is no Conversations window (each conversation has its own).
    bool tabsWindow = true;
    FakeConversationTabsView* conversationTabs = nullptr;
    std::unique_ptr<McpEditorView> createMcpEditorView() override {
        auto view = std::make_unique<FakeMcpEditorView>();
        mcpEditors.push_back(view.get());
        return view;
    }
    // Every editor window made, newest last; a closed one is gone once a newer one opens.
    std::vector<FakeMcpEditorView*> mcpEditors;
    std::unique_ptr<McpDialogView> createMcpDialogView() override {
        auto view = std::make_unique<FakeMcpDialogView>();
        mcpDialogs.push_back(view.get());
        return view;
    }
    std::vector<FakeMcpDialogView*> mcpDialogs;
    std::unique_ptr<McpHelpView> createMcpHelpView() override {
        auto view = std::make_unique<FakeMcpHelpView>();
        mcpHelp.push_back(view.get());
        return view;
    }
    std::vector<FakeMcpHelpView*> mcpHelp;
    std::unique_ptr<AddressBookView> createAddressBookView() override {
        auto view = std::make_unique<FakeAddressBookView>();
        view->whileShown = addressBookScript;
        ++addressBooksCreated;
        return view;
    }
    std::unique_ptr<CharacterView> createCharacterView() override {
        auto view = std::make_unique<FakeCharacterView>();
        view->whileShown = characterScript;
        ++characterDialogsCreated;
        return view;
    }
    std::function<void(FakeAddressBookView&)> addressBookScript;
    int addressBooksCreated = 0;
    std::unique_ptr<NoticeView> createNoticeView() override {
        auto view = std::make_unique<FakeNoticeView>();
        notice = view.get();
        return view;
    }
    std::unique_ptr<PlayerListView> createPlayerListView() override {
        auto view = std::make_unique<FakePlayerList>();
        playerList = view.get();
        return view;
    }
    std::unique_ptr<UserMacrosView> createUserMacrosView() override {
        auto view = std::make_unique<FakeUserMacrosView>();
        userMacros = view.get();
        return view;
    }
    std::unique_ptr<PictureView> createPictureView() override {
        auto view = std::make_unique<FakePictureView>();
        picture = view.get();
        return view;
    }
    std::unique_ptr<DirectionView> createDirectionView() override {
        auto view = std::make_unique<FakeDirectionView>();
        directions = view.get();
        return view;
    }
    std::unique_ptr<WalkView> createWalkView() override {
        auto view = std::make_unique<FakeWalkView>();
        walk = view.get();
        return view;
    }
    std::unique_ptr<PreferencesView> createPreferencesView() override {
        auto view = std::make_unique<FakePreferencesView>();
        preferences = view.get();
        return view;
    }
    FakePreferencesView* preferences = nullptr;
    std::unique_ptr<SessionHistoryView> createSessionHistoryView() override {
        auto view = std::make_unique<FakeSessionHistoryView>();
        sessionHistory = view.get();
        return view;
    }
    FakeSessionHistoryView* sessionHistory = nullptr;
    std::unique_ptr<CertificateView> createCertificateView() override {
        auto view = std::make_unique<FakeCertificateView>();
        view->whileShown = [this](FakeCertificateView& shown) {
            certificateQuestions.push_back(
                {shown.title, shown.headline, shown.changed, shown.certificate, shown.previous});
            if (certificateScript) {
                certificateScript(shown);
            }
        };
        return view;
    }
    // What each certificate question showed, in order.
    struct CertificateQuestion {
        std::string title;
        std::string headline;
        bool changed = false;
        PeerCertificate certificate;
        std::string previous;
    };
    std::function<void(FakeCertificateView&)> certificateScript;
    std::vector<CertificateQuestion> certificateQuestions;
    std::function<void(FakeCharacterView&)> characterScript;
    int characterDialogsCreated = 0;
    FakePictureView* picture = nullptr;
    FakeDirectionView* directions = nullptr;
    FakeWalkView* walk = nullptr;
    FakeNoticeView* notice = nullptr;
    FakePlayerList* playerList = nullptr;
    FakeUserMacrosView* userMacros = nullptr;
};

} // namespace corvane::testing
