// Arbitrary bytes as a settings file: every entry a reader sees is found by
// the indexed lookup, and a save read back gives the very same lines, so that
// loading then saving never changes what the file means.

#include "core/text_codec.h"
#include "ini_listing.h"
#include "settings/ini_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using corvane::IniFile;
using corvane::fuzz::ListingOf;
using corvane::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IniFile file = IniFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& line : file.lines()) {
        require(line.find('\n') == std::string::npos);
        require(corvane::IsValidUtf8(line));
    }
    for (const auto& [name, value] : ListingOf(file.lines())) {
        require(file.value(name.first, name.second) == value);
    }
    require(IniFile::Parse(file.bytes()).lines() == file.lines());
    return 0;
}
