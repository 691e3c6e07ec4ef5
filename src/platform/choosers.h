#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct FileFilter {
    std::string description; // "WAV files (*.wav)"
    std::string pattern;     // "*.wav"
};

struct FileChoice {
    std::string title;
    std::vector<FileFilter> filters;
    std::string proposedName;
    std::string startFolder;
    bool mustExist = false;
};

struct FontChoice {
    std::string name;
    double size = 9;
    bool bold = false;
    bool italic = false;
    std::uint32_t colour = 0; // 0x00BBGGRR
    // Offer the colour beside the font (the trigger fonts have one).
    bool effects = false;
};

// File, folder, font and colour choosers. Cancelling answers nullopt: "no change".
class Choosers {
public:
    virtual ~Choosers() = default;
    virtual std::optional<std::string> chooseFile(const FileChoice& choice) = 0;
    // An existing folder, starting at startFolder.
    virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& startFolder) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& preset) = 0;
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t preset) = 0;
};

// Splits "WAV files (*.wav)|*.wav|All files (*.*)|*.*" into its pairs.
std::vector<FileFilter> parseFileFilters(const std::string& filterText);

} // namespace corvane
