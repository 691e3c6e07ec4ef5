#pragma once

#include <string>

namespace corvane::testing {

// Telnet command bytes, to spell server input in tests.
inline const std::string IAC = "\xFF";
inline const std::string DO = "\xFD";
inline const std::string DONT = "\xFE";
inline const std::string WILL = "\xFB";
inline const std::string WONT = "\xFC";
inline const std::string NOP = "\xF1";
inline const std::string SB = "\xFA";
inline const std::string SE = "\xF0";

} // namespace corvane::testing
