#include "cli/command_line.h"

#include "base/decimal.h"
#include "core/color_words.h"

#include <cstdint>

namespace varnelo {
namespace {

constexpr char kUsage[] =
    "Usage: varnelo [/get | /set COLOUR | /export FILE | /version | /?]\r\n"
    "\r\n"
    "  (nothing)     open the window\r\n"
    "  /get          print the colour the window would show, then each Messenger\r\n"
    "                location and its IM Color: #RRGGBB, none (no value) or\r\n"
    "                not-a-colour (a value that is no colour)\r\n"
    "  /set COLOUR   write COLOUR, #RRGGBB or RRGGBB (#0000FF is blue), wherever\r\n"
    "                the window's Apply button would write it; a colour hard to\r\n"
    "                read on white (contrast under 3:1) is written with a warning\r\n"
    "  /export FILE  save the IM Color of every place /set would write, as a\r\n"
    "                registry file that puts them back: reg import FILE\r\n"
    "  /version      print the version\r\n"
    "  /?, /help     print this text\r\n"
    "\r\n"
    "Switches may begin with / or - and ignore case.\r\n"
    "Exit codes: 0 done, 1 a write failed (/set) or the file could not be written\r\n"
    "(/export), 2 bad arguments, 3 Messenger not found, 4 the output could not be\r\n"
    "written, 5 an unexpected failure.\r\n";

// (Bytes of 0x80 and above are negative as char: '?' too.)
template <typename Text>
std::string AsciiOf(Text text) {
  std::string out;
  out.reserve(text.size());
  for (const auto c : text) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  return out;
}

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

CommandLine Bad(std::string problem) { return {Mode::BadArguments, 0, std::move(problem), {}}; }

}  // namespace

const char* UsageText() { return kUsage; }

std::string Ascii(std::string_view text) { return AsciiOf(text); }
std::string Ascii(std::wstring_view text) { return AsciiOf(text); }

std::string Quoted(std::wstring_view arg) {
  constexpr std::size_t kShown = 60;
  if (arg.size() <= kShown) return "'" + Ascii(arg) + "'";
  return "'" + Ascii(arg.substr(0, kShown)) + "...' (cut: " + Decimal(arg.size()) + " characters)";
}

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
  if (args.empty()) return {};
  const std::wstring& first = args[0];
  if (!first.starts_with(L'/') && !first.starts_with(L'-')) {
    return Bad("unexpected argument " + Quoted(first));
  }
  const std::wstring name = Lower(std::wstring_view(first).substr(1));
  CommandLine command;
  std::size_t expected = 1;
  if (name == L"get") {
    command.mode = Mode::Get;
  } else if (name == L"set") {
    if (args.size() < 2) return Bad("/set needs a colour, such as #0000FF");
    const auto color = ParseWebColor(args[1]);
    if (!color) return Bad(Quoted(args[1]) + " is not a colour: give #RRGGBB or RRGGBB");
    command = {Mode::Set, *color, "", {}};
    expected = 2;
  } else if (name == L"export") {
    if (args.size() < 2 || args[1].empty()) {
      return Bad("/export needs a file name, such as colours.reg");
    }
    command = {Mode::Export, 0, "", args[1]};
    expected = 2;
  } else if (name == L"?" || name == L"help") {
    command.mode = Mode::Help;
  } else if (name == L"version") {
    command.mode = Mode::Version;
  } else {
    return Bad("unknown switch " + Quoted(first));
  }
  if (args.size() > expected) return Bad("unexpected argument " + Quoted(args[expected]));
  return command;
}

}  // namespace varnelo
