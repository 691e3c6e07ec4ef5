#include "settings/scramble.h"

#include "core/text_codec.h"

#include <string_view>

namespace corvane {

namespace {

constexpr std::string_view kScrambleKey = "QuillonandMarrowsetsail";

// Unlike Utf8ToCp1252, which refuses the whole text, this keeps every other
// character when one has no Windows-1252 byte.
std::string toCp1252Lenient(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const int code = CodePointToCp1252(NextCodePoint(utf8, pos));
        bytes.push_back(code < 0 ? '?' : static_cast<char>(code));
    }
    return bytes;
}

} // namespace

std::string ScrambleText(int mode, const std::string& text) {
    std::string bytes = toCp1252Lenient(text);
    std::size_t keyPos = 0;
    for (char& byte : bytes) {
        const int c = static_cast<unsigned char>(byte);
        const int k = static_cast<unsigned char>(kScrambleKey[keyPos]);
        // Unscrambling a code below 33 makes c - 33 negative; the mask then
        // keeps the low bits of its two's complement, as the stored form expects.
        const int result = mode == kScramble ? ((k ^ c) & 127) + 33 : (k ^ (c - 33)) & 127;
        byte = static_cast<char>(result);
        keyPos = (keyPos + 1) % kScrambleKey.size();
    }
    return Cp1252ToUtf8(bytes);
}

bool CanStorePassword(const std::string& password) {
    for (const char c : password) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace corvane
