#include "shell/spell_choice.h"

#include "platform/spelling.h"
#include "settings/play_options.h"

#include <algorithm>

namespace corvane {

namespace {

bool has(const std::vector<std::string>& installed, const std::string& name) {
    return std::find(installed.begin(), installed.end(), name) != installed.end();
}

std::string firstStartingWith(const std::vector<std::string>& installed, const std::string& language) {
    for (const std::string& name : installed) {
        if (name == language || name.rfind(language + "_", 0) == 0 || name.rfind(language + "-", 0) == 0) {
            return name;
        }
    }
    return {};
}

} // namespace

std::string ChosenDictionary(const std::string& setting, const std::vector<std::string>& installed,
                             const std::string& systemLanguage) {
    if (setting == "Off") {
        return {};
    }
    if (!setting.empty()) {
        return has(installed, setting) ? setting : std::string();
    }
    if (installed.empty()) {
        return {};
    }
    // "de_DE.UTF-8", "sr_RS@latin": the name before the encoding and variant.
    const std::string locale = systemLanguage.substr(0, systemLanguage.find_first_of(".@"));
    if (!locale.empty() && locale != "C" && locale != "POSIX") {
        if (has(installed, locale)) {
            return locale;
        }
        if (std::string same = firstStartingWith(installed, locale.substr(0, locale.find('_'))); !same.empty()) {
            return same;
        }
    }
    if (has(installed, "en_US")) {
        return "en_US";
    }
    if (std::string english = firstStartingWith(installed, "en"); !english.empty()) {
        return english;
    }
    return installed.front();
}

std::string ApplySpellChoice(const PlayOptions& options, Spelling& spelling) {
    return spelling.useDictionary(
        ChosenDictionary(options.spellCheck, spelling.installedDictionaries(), spelling.systemLanguage()));
}

} // namespace corvane
