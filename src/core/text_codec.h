#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Conversions between Windows-1252, the single-byte code page that worlds and
// settings files carried over from Windows use, and UTF-8, the text form used
// everywhere inside Corvane. The five bytes that Windows-1252 leaves undefined
// map to the C1 controls of the same value, so every byte survives a round trip.

// The Unicode code point of a Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when the code page has none.
int CodePointToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view bytes);
// Appends the UTF-8 form of one Windows-1252 byte.
void AppendCp1252AsUtf8(std::string& out, unsigned char byte);
// nullopt when a character has no Windows-1252 byte or the text is not UTF-8.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
// Text for files the user reads back (session log, recorded macros): each
// character as its Windows-1252 byte, and a character the code page has no
// byte for as its UTF-8 bytes, so nothing a player wrote is lost. Bytes that
// are not UTF-8 are kept as they are.
std::string Utf8ToCp1252KeepingOthers(std::string_view utf8);

bool IsValidUtf8(std::string_view text);
// Reads settings-file bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
std::string DecodeLegacyText(std::string_view bytes);

// Decodes one code point at pos and advances pos; invalid bytes give U+FFFD.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t codePoint);
// Number of code points (invalid bytes count one each).
std::size_t Utf8Length(std::string_view utf8);
// The first n code points.
std::string Utf8Left(std::string_view utf8, std::size_t n);

std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
// Case-insensitive (ASCII letters) search; npos when absent.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle);
inline bool StartsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace corvane
