// The command line's words: what its arguments mean, the usage text, and
// how a colour and an argument are written in its output. Pure: no registry,
// no files. Running a parsed command line is commands.h.
#pragma once

#include "base/color_value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnelo {

enum class Mode { Window, Get, Set, Export, Help, Version, BadArguments };

struct CommandLine {
  Mode mode = Mode::Window;
  ColorValue color = 0;  // for Mode::Set, as stored: 0x00BBGGRR
  std::string problem;   // for Mode::BadArguments: what is wrong, in one line
  std::wstring file;     // for Mode::Export: the file to write, as given
};

// The arguments after the program's name. Switches start with '/' or '-'
// and ignore case: /get, /set COLOUR (#RRGGBB or RRGGBB), /export FILE,
// /version, /? and /help. No arguments at all: the window.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::wstring>& args);

// What /? prints: the switches and the exit codes, CR LF line ends.
[[nodiscard]] const char* UsageText();

// A text as the output shows it: printable ASCII kept, anything else '?', so
// it reads the same in any code page.
[[nodiscard]] std::string Ascii(std::string_view text);
[[nodiscard]] std::string Ascii(std::wstring_view text);

// An argument as an error message quotes it: in quotes, ASCII, and cut to
// 60 characters with how long it was, so a 30,000-character argument still
// makes one short line.
[[nodiscard]] std::string Quoted(std::wstring_view arg);

}  // namespace varnelo
