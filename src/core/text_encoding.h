#pragma once

#include "core/text_codec.h"

#include <string_view>

namespace corvane {

// How a world's text travels, as its section's "Encoding=" chooses. Automatic
// reads UTF-8 where it comes and sends the code page until the world has
// shown that it speaks UTF-8; the two others hold one form for the whole
// connection. The order is the address book's list order.
enum class TextEncoding { Automatic, Windows1252, Utf8 };

inline constexpr const char* kEncodingKey = "Encoding";

// The stored name of a choice; empty for Automatic, which is stored as no key.
inline constexpr std::string_view TextEncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Windows1252:
        return "Windows-1252";
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Automatic:
        break;
    }
    return {};
}

// How the address book names a choice.
inline constexpr std::string_view TextEncodingCaption(TextEncoding encoding) {
    return encoding == TextEncoding::Automatic ? "Automatic" : TextEncodingName(encoding);
}

// A stored value that names neither form, typed by hand or by a later
// version, reads as Automatic.
inline TextEncoding ParseTextEncoding(std::string_view stored) {
    for (const TextEncoding encoding : {TextEncoding::Windows1252, TextEncoding::Utf8}) {
        if (EqualsNoCase(stored, TextEncodingName(encoding))) {
            return encoding;
        }
    }
    return TextEncoding::Automatic;
}

} // namespace corvane
