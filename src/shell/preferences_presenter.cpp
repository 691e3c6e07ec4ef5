#include "shell/preferences_presenter.h"

#include "core/constants.h"
#include "core/display_view.h"
#include "core/main_window_view.h"
#include "core/number_text.h"
#include "core/session.h"
#include "platform/choosers.h"
#include "platform/prompts.h"
#include "platform/sound.h"
#include "settings/client_settings.h"
#include "settings/settings.h"
#include "shell/main_window_layout.h"
#include "worlds/password_store.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace corvane {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMain = "Corvane";
constexpr const char* kFont = "Font";
constexpr int kFewestLines = 16;

// Why a folder cannot be used, in the system's words; empty when it can.
std::string folderProblem(const std::string& path) {
    if (path.empty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory).message();
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        return error.message();
    }
    if (!fs::is_directory(status)) {
        return std::make_error_code(std::errc::not_a_directory).message();
    }
    fs::directory_iterator open(path, error);
    return error ? error.message() : std::string();
}

// The folder as a chooser shows it: no separator at the end but for the root.
std::string folderName(std::string path) {
    while (path.size() > 1 && path.back() == static_cast<char>(fs::path::preferred_separator)) {
        path.pop_back();
    }
    return path;
}

std::string withSeparator(std::string folder) {
    const char separator = static_cast<char>(fs::path::preferred_separator);
    if (folder.empty() || folder.back() != separator) {
        folder += separator;
    }
    return folder;
}

// Where a chooser stands when its folder is gone: the nearest folder above
// it that can be opened, else the current folder, else the root.
std::string usableFolderFor(const std::string& path, const std::string& currentDirectory) {
    // Only a path of this system has folders above it; "C:\Games\" from a
    // Windows settings file is one odd name.
    if (fs::path(path).is_absolute()) {
        for (fs::path above = fs::path(folderName(path)).parent_path(); !above.empty();
             above = above.parent_path()) {
            if (folderProblem(above.string()).empty()) {
                return above.string();
            }
            if (above == above.root_path()) {
                break;
            }
        }
    }
    if (folderProblem(currentDirectory).empty()) {
        return folderName(currentDirectory);
    }
    return fs::path(path).root_path().empty() ? "/" : fs::path(path).root_path().string();
}

// A point size as the user would write it: 10.1, not the 10.1000003814697
// its float holds.
double pointSize(float size) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), size);
    double value = size;
    if (ec == std::errc()) {
        std::from_chars(buffer.data(), end, value);
    }
    return value;
}

std::int32_t chosenColour(std::uint32_t colour) {
    return static_cast<std::int32_t>(colour & 0xFFFFFFu);
}

std::uint32_t presetColour(std::int32_t colour) {
    // System colours (negative) have no value a chooser can start from.
    return colour < 0 ? 0u : static_cast<std::uint32_t>(colour);
}

} // namespace

std::string FontCaption(const std::string& name, const std::string& size, bool bold, bool italic) {
    return "Font: " + name + " " + size + "pt." + (bold ? " Bold" : "") + (italic ? " Italic" : "");
}

PreferencesPresenter::PreferencesPresenter(PreferencesView& view, ClientSettings& settings, Session& session,
                                           TriggerSet& triggers, DisplayView& display,
                                           MainWindowLayout& layout, MainWindowView& window,
                                           Services services, std::string currentDirectory, Hooks hooks)
    : m_view(view)
    , m_settings(settings)
    , m_session(session)
    , m_display(display)
    , m_layout(layout)
    , m_window(window)
    , m_services(services)
    , m_currentDirectory(std::move(currentDirectory))
    , m_hooks(std::move(hooks))
    , m_watchFor(view.watchFor(), triggers, session, services.prompts, services.choosers,
                 settings.SettingsPath,
                 WatchForPage::Hooks{[this] {
                                         const DisplayView::Font font = m_display.inputFont();
                                         return FontDefaults{font.name, font.size};
                                     },
                                     [this] {
                                         if (m_hooks.triggersApplied) {
                                             m_hooks.triggersApplied();
                                         }
                                     }})
    , m_play(view.play(), settings.Play, services.spelling)
    , m_speechPage(view.speech(), services.speech) {
    m_view.watchFor().setWatchForEvents(&m_watchFor);
    m_view.setEvents(this);
}

void PreferencesPresenter::load() {
    m_ready = false;
    m_prefsChanged = false;
    m_watchFor.setReady(false);
    m_watchFor.clearChanged();
    m_view.setCaption("CORVane " + std::string(VersionText) + " Preferences");
    m_watchFor.load(m_hooks.watchForWorld ? m_hooks.watchForWorld() : m_session.WorldIndex);
    loadFolder(0, m_settings.ProgramDir, "ProgramPath=");
    loadFolder(1, m_settings.PictureDir, "PicturePath=");
    m_view.setBrowser(m_settings.BrowserPath);

    m_lineLimit = 20000 / std::max(m_settings.CharsPerLine, 1) - 1;
    m_view.setMaxLinesCaption("Maximum &Lines of text (16-" + std::to_string(m_lineLimit) + "):");
    m_view.setMaxLines(FormatNumber(m_settings.MaxLines));
    m_view.setMaxLinesNote("");
    m_view.setChecked(PreferencesView::AutoPicture, m_settings.AutoPictureLoad);
    m_view.setChecked(PreferencesView::WindowPosition, m_settings.RememberWinPos);
    m_view.setChecked(PreferencesView::RingBell, m_settings.MinBeep);
    m_view.setChecked(PreferencesView::RestoreWindow, m_settings.MinMaximize);
    PasswordStore passwords(CurrentKeyring(), m_settings.SettingsPath);
    m_view.setChecked(PreferencesView::KeyringPasswords, passwords.useKeyring());
    m_view.setKeyringUnavailable(passwords.unavailableReason());
    m_view.setMultipleBrowsers(m_settings.NewBrowser);
    m_play.load();
    m_speechPage.load();
    m_written = settingValues();

    const DisplayView::Font font = m_display.inputFont();
    m_sample.fontName = font.name;
    m_sample.fontSize = font.size;
    m_sample.bold = font.bold;
    m_sample.italic = font.italic;
    m_sample.text = m_display.inputTextColour();
    m_sample.background = m_display.inputBackColour();
    m_sample.caption = FontCaption(font.name, FormatPlain(pointSize(font.size)), font.bold, font.italic);
    showSample();

    m_ready = true;
    m_watchFor.setReady(true);
    m_view.showDialog();
}

void PreferencesPresenter::loadFolder(int which, const std::string& directory, const char* key) {
    const std::string problem = folderProblem(directory);
    if (problem.empty()) {
        m_folders[static_cast<std::size_t>(which)] = folderName(directory);
        m_view.setPathLabel(which, directory);
        return;
    }
    m_services.sound.beep();
    m_services.prompts.message(key + directory + "\r\r" + problem, "PREFERENCES ERROR",
                               PromptIcon::Exclamation);
    const std::string usable = usableFolderFor(directory, m_currentDirectory);
    m_folders[static_cast<std::size_t>(which)] = usable;
    m_view.setPathLabel(which, usable);
    m_prefsChanged = true;
}

void PreferencesPresenter::showSample() {
    m_view.setSample(m_sample);
}

void PreferencesPresenter::onNextTab() {
    m_view.selectTab((m_view.currentTab() + 1) % PreferencesView::TabCount);
}

void PreferencesPresenter::onChangeFont() {
    const std::optional<FontChoice> chosen = m_services.choosers.chooseFont(
        FontChoice{m_sample.fontName, m_sample.fontSize, m_sample.bold, m_sample.italic, 0, false});
    if (!chosen) {
        return;
    }
    m_sample.fontSize = static_cast<float>(std::clamp(chosen->size, 1.0, 256.0));
    m_sample.fontName = chosen->name;
    m_sample.bold = chosen->bold;
    m_sample.italic = chosen->italic;
    m_sample.caption = FontCaption(m_sample.fontName, FormatNumber(pointSize(m_sample.fontSize)),
                                   m_sample.bold, m_sample.italic);
    showSample();
    m_prefsChanged = true;
}

void PreferencesPresenter::onChangeColour(int which) {
    if (which == 2) {
        const std::optional<std::uint32_t> chosen =
            m_services.choosers.chooseColour(presetColour(m_play.sentColour()));
        if (chosen) {
            m_play.setSentColour(chosenColour(*chosen));
            m_prefsChanged = true;
        }
        return;
    }
    std::int32_t& colour = which == 0 ? m_sample.text : m_sample.background;
    const std::optional<std::uint32_t> chosen = m_services.choosers.chooseColour(presetColour(colour));
    if (!chosen) {
        return;
    }
    colour = chosenColour(*chosen);
    showSample();
    m_prefsChanged = true;
}

void PreferencesPresenter::onChooseFolder(int which) {
    if (which < 0 || which > 1) {
        return;
    }
    std::string& folder = m_folders[static_cast<std::size_t>(which)];
    const std::optional<std::string> chosen =
        m_services.choosers.chooseFolder(which == 0 ? "Program Path" : "Picture Path", folder);
    if (!chosen || chosen->empty()) {
        return;
    }
    folder = folderName(*chosen);
    m_view.setPathLabel(which, folder);
    onOptionChanged();
}

void PreferencesPresenter::onBrowseBrowser() {
    FileChoice choice;
    choice.title = "Select Application";
    // Programs here have no ".exe": every file is listed first.
    choice.filters = parseFileFilters("All files (*)|*|EXE files (*.exe)|*.exe");
    choice.mustExist = true;
    const std::string current = m_view.browser();
    choice.startFolder = current.empty() ? std::string() : fs::path(current).parent_path().string();
    const std::optional<std::string> chosen = m_services.choosers.chooseFile(choice);
    if (!chosen) {
        return;
    }
    m_view.setBrowser(*chosen);
    onOptionChanged();
}

void PreferencesPresenter::onOptionChanged() {
    if (m_ready) {
        m_prefsChanged = true;
    }
}

void PreferencesPresenter::onMaxLinesEntered() {
    m_view.selectAllMaxLines();
}

void PreferencesPresenter::onMaxLinesLeft() {
    const std::string typed = m_view.maxLines();
    const double value = NumericValue(typed);
    if (value < kFewestLines) {
        m_view.setMaxLines(std::to_string(kFewestLines));
        m_view.setMaxLinesNote("\"" + typed + "\" became " + std::to_string(kFewestLines) +
                               ": the output keeps at least " + std::to_string(kFewestLines) + " lines.");
    } else if (value > m_lineLimit) {
        m_view.setMaxLines(FormatNumber(m_lineLimit));
        m_view.setMaxLinesNote(typed + " became " + std::to_string(m_lineLimit) +
                               ": the output holds 20,000 characters, which is " + std::to_string(m_lineLimit) +
                               " lines of " + std::to_string(std::max(m_settings.CharsPerLine, 1)) +
                               " characters at this font and window width.");
    } else {
        m_view.setMaxLinesNote("");
    }
}

void PreferencesPresenter::onOkApply(int button) {
    const bool apply = button == 1;
    const bool triggersChanged = m_watchFor.changed();
    if (!m_prefsChanged && !triggersChanged) {
        m_watchFor.SaveTriggers(false);
    } else {
        applyToClient();
        const bool write =
            apply || m_services.prompts.ask("Your Preferences have changed.\r\rMake these changes permanent?",
                                            "Update Preferences", PromptButtons::YesNo, PromptIcon::Question,
                                            PromptAnswer::Yes) == PromptAnswer::Yes;
        if (write) {
            writeSettings();
        }
        if (triggersChanged) {
            m_watchFor.SaveTriggers(write);
        }
    }
    if (apply) {
        m_prefsChanged = false;
        m_watchFor.clearChanged();
    } else {
        close();
    }
}

void PreferencesPresenter::applyToClient() {
    const double typed = NumericValue(m_view.maxLines());
    const bool inRange = typed >= kFewestLines && typed <= m_lineLimit;
    if (!inRange) {
        m_settings.MaxLines = m_lineLimit;
    }
    m_settings.ProgramDir = withSeparator(m_folders[0]);
    m_settings.PictureDir = withSeparator(m_folders[1]);

    m_display.setDisplayTextColour(m_sample.text);
    m_display.setDisplayBackColour(m_sample.background);
    m_display.setInputFontName(m_sample.fontName);
    m_display.setInputFontSize(m_sample.fontSize);
    m_display.setInputFontStyle(m_sample.bold, m_sample.italic);
    m_layout.ApplyDisplaySettings();

    const DisplayView::Font font = m_display.inputFont();
    if (m_hooks.showOutput) {
        m_hooks.showOutput("Font: " + font.name + " " + FormatPlain(pointSize(font.size)) + "pt. " +
                           (font.bold ? "Bold " : "") + (font.italic ? "Italic " : "") +
                           std::string(NewLine) + " ");
    }
    if (!m_window.isMinimised()) {
        m_layout.ArrangeMainWindow();
    }
    m_settings.CharsPerLine = m_layout.charsPerLine();

    m_settings.BrowserPath = m_view.browser();
    m_settings.AutoPictureLoad = m_view.checked(PreferencesView::AutoPicture);
    m_settings.RememberWinPos = m_view.checked(PreferencesView::WindowPosition);
    m_settings.MinBeep = m_view.checked(PreferencesView::RingBell);
    m_settings.MinMaximize = m_view.checked(PreferencesView::RestoreWindow);
    m_settings.NewBrowser = m_view.multipleBrowsers();
    if (const std::string problem = m_play.apply(); !problem.empty()) {
        m_services.prompts.message("Spell check is off: " + problem, "Corvane Error", PromptIcon::Exclamation);
    }
    m_speechPage.apply();

    m_settings.MaxLines = inRange ? static_cast<int>(typed) : m_lineLimit;
    const long long product = static_cast<long long>(m_settings.CharsPerLine) * m_settings.MaxLines;
    m_settings.MaxOutputChars = product > 32000 ? 29800 : static_cast<int>(product);
    if (m_hooks.lineLimitsChanged) {
        m_hooks.lineLimitsChanged();
    }
}

std::vector<PreferencesPresenter::SettingValue> PreferencesPresenter::settingValues() const {
    const auto flag = [](bool on) { return std::string(on ? "True" : "False"); };
    const DisplayView::Font font = m_display.inputFont();
    return {
        {kMain, "ProgramPath", m_settings.ProgramDir},
        {kMain, "PicturePath", m_settings.PictureDir},
        {kMain, "Browser", m_settings.BrowserPath},
        {kMain, "AutoPictureLoad", flag(m_settings.AutoPictureLoad)},
        {kMain, "RememberWinPos", flag(m_settings.RememberWinPos)},
        {kMain, "MinBeep", flag(m_settings.MinBeep)},
        {kMain, "MinMaximize", flag(m_settings.MinMaximize)},
        {kMain, "NewBrowser", flag(m_settings.NewBrowser)},
        {kFont, "ForeColor", FormatNumber(m_display.inputTextColour())},
        {kFont, "BackColor", FormatNumber(m_display.inputBackColour())},
        {kFont, "FontName", font.name},
        {kFont, "FontSize", FormatNumber(pointSize(font.size))},
        {kFont, "FontBold", flag(font.bold)},
        {kFont, "FontItalic", flag(font.italic)},
        {kFont, "MaxLines", FormatNumber(m_settings.MaxLines)},
    };
}

void PreferencesPresenter::writeSettings() {
    const std::string& path = m_settings.SettingsPath;
    std::vector<SettingValue> values = settingValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i >= m_written.size() || !(values[i] == m_written[i])) {
            WriteSetting(values[i].section, values[i].key, values[i].value, path);
        }
    }
    m_written = std::move(values);
    m_play.write(path);
    m_speechPage.write(path);

    PasswordStore passwords(CurrentKeyring(), path);
    const bool keyring = m_view.checked(PreferencesView::KeyringPasswords);
    if (keyring != passwords.useKeyring() && !passwords.setUseKeyring(keyring)) {
        m_view.setChecked(PreferencesView::KeyringPasswords, passwords.useKeyring());
        m_services.prompts.message("The keyring did not take the passwords; they stay in the settings file.",
                                   "Corvane Error", PromptIcon::Exclamation);
    }
}

void PreferencesPresenter::onCancel() {
    close();
}

void PreferencesPresenter::close() {
    m_view.closeDialog();
    if (m_hooks.closed) {
        m_hooks.closed();
    }
}

} // namespace corvane
