#pragma once

#include "rules/rules_import.h"
#include "rules/tin_reader.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane::import_translation {

// One client's commands translated a share at a time (see ImportSteps):
// step() translates commands until about `bytes` of their text or `count`
// of them are done, and says whether any are left.

class TfTranslation {
public:
    explicit TfTranslation(std::vector<std::string> commands);
    ~TfTranslation();
    TfTranslation(TfTranslation&&) noexcept;
    TfTranslation& operator=(TfTranslation&&) noexcept;
    bool step(std::size_t bytes, std::size_t count);
    // The rules in the order tf tries them, once step() has said none are left.
    RulesImport finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

class TinTranslation {
public:
    explicit TinTranslation(std::vector<tin_reader::TinCommand> commands);
    ~TinTranslation();
    TinTranslation(TinTranslation&&) noexcept;
    TinTranslation& operator=(TinTranslation&&) noexcept;
    bool step(std::size_t bytes, std::size_t count);
    RulesImport finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace corvane::import_translation
