#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::tf_reader {

// A TinyFugue file as tf itself splits it: into commands, and a command's
// options as its getopt reads them.

// A line ending in a backslash goes on on the next line (whose leading blanks
// go); lines starting with ";" or "#" are comments.
std::vector<std::string> tfCommands(const std::string& text);
// One option's value: quoted (a backslash takes the next character as it
// is, so "\\" is one backslash) or up to the next blank.
std::string tfValue(const std::string& text, std::size_t& i);
void skipBlanks(const std::string& text, std::size_t& i);

// Flags combine ("-Fq"), and an option with a value takes the rest of its
// word or the next word ("-p1", "-p 1").
struct TfOptions {
    std::vector<std::pair<char, std::string>> values;
    std::string rest;
    bool has(char option) const;
    std::optional<std::string> value(char option) const;
};
// `withValues` names the options that take a value.
TfOptions tfOptions(const std::string& args, const std::string& withValues);

} // namespace corvane::tf_reader
