// One change to an arbitrary settings file: a set value reads back as set
// (trimmed, up to its first line break), a removed key or section is gone,
// and nothing else a reader sees changes, before or after a save.

#include "core/text_codec.h"
#include "ini_listing.h"
#include "settings/ini_file.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

using corvane::IniFile;
using corvane::fuzz::foldedName;
using corvane::fuzz::Listing;
using corvane::fuzz::ListingOf;
using corvane::fuzz::require;
using corvane::fuzz::trimmed;

std::string asStored(std::string value) {
    const std::size_t lf = value.find('\n');
    if (lf != std::string::npos) {
        value.resize(lf);
        if (!value.empty() && value.back() == '\r') {
            value.pop_back();
        }
    }
    return std::string(trimmed(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int operation = input.ConsumeIntegralInRange(0, 2);
    // Names and values are text inside Corvane, so UTF-8, as the file is read.
    const std::string section = corvane::DecodeLegacyText(input.ConsumeRandomLengthString(40));
    const std::string key = corvane::DecodeLegacyText(input.ConsumeRandomLengthString(40));
    const std::string value = corvane::DecodeLegacyText(input.ConsumeRandomLengthString(300));
    IniFile file = IniFile::Parse(input.ConsumeRemainingBytesAsString());

    const std::vector<std::string> linesBefore = file.lines();
    Listing expected = ListingOf(linesBefore);
    bool changed = false;
    switch (operation) {
    case 0:
        changed = file.setValue(section, key, value);
        if (IniFile::IsStorableSection(section) && IniFile::IsStorableKey(key)) {
            expected[{foldedName(section), foldedName(key)}] = asStored(value);
        }
        break;
    case 1:
        changed = file.removeKey(section, key);
        expected.erase({foldedName(section), foldedName(key)});
        break;
    default:
        changed = file.removeSection(section);
        std::erase_if(expected, [&](const auto& entry) { return entry.first.first == foldedName(section); });
        break;
    }
    require(changed == (file.lines() != linesBefore));

    const Listing after = ListingOf(file.lines());
    require(after == expected);
    for (const auto& [name, stored] : after) {
        require(file.value(name.first, name.second) == stored);
    }
    require(ListingOf(IniFile::Parse(file.bytes()).lines()) == expected);
    return 0;
}
