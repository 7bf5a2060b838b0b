#include "app/command_line.h"

#include "app/file_names.h"
#include "app/messenger_colors.h"
#include "app/registry_file.h"
#include "registry/reg.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace varnelo {
namespace {

constexpr char kUsage[] =
    "Usage: varnelo [/get | /set COLOUR | /export FILE | /version | /?]\r\n"
    "\r\n"
    "  (nothing)     open the window\r\n"
    "  /get          print the colour the window would show, then each Messenger\r\n"
    "                location and its IM Color: #RRGGBB, none or not-a-colour\r\n"
    "  /set COLOUR   write COLOUR, #RRGGBB or RRGGBB (#0000FF is blue), wherever\r\n"
    "                the window's Set button would write it\r\n"
    "  /export FILE  save the IM Color of every place /set would write, as a\r\n"
    "                registry file that puts them back: reg import FILE\r\n"
    "  /version      print the version\r\n"
    "  /?, /help     print this text\r\n"
    "\r\n"
    "Switches may begin with / or - and ignore case.\r\n"
    "Exit codes: 0 done, 1 a write failed (/set) or the file could not be written\r\n"
    "(/export), 2 bad arguments, 3 Messenger not found, 4 the output could not be\r\n"
    "written, 5 an unexpected failure.\r\n";

constexpr char kNotInstalled[] =
    "Messenger is not installed, or is a version Varnelo does not support: no colour is set "
    "and no Messenger account is registered.\r\n";

// ASCII only, so the text reads the same in any code page: anything else
// shows as '?'.
// (Bytes of 0x80 and above are negative as char: '?' too.)
std::string Ascii(const auto& text) {
  std::string out;
  for (const auto c : text) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  return out;
}

// An argument as an error message quotes it: ASCII, and cut to a readable
// length, so that a 30,000-character argument still makes one short line.
std::string Quoted(std::wstring_view arg) {
  constexpr std::size_t kShown = 60;
  if (arg.size() <= kShown) return "'" + Ascii(arg) + "'";
  return "'" + Ascii(arg.substr(0, kShown)) + "...' (cut: " + std::to_string(arg.size()) +
         " characters)";
}

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// "#RRGGBB" or "RRGGBB" to the stored 0x00BBGGRR.
std::optional<ColorValue> ParseWebColor(std::wstring_view text) {
  if (text.starts_with(L'#')) text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  std::uint32_t rgb = 0;
  for (const wchar_t c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
  }
  const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  return static_cast<ColorValue>(red | green << 8 | blue << 16);
}

std::string WebColor(ColorValue color) {
  constexpr char kHex[] = "0123456789ABCDEF";
  const auto raw = static_cast<std::uint32_t>(color);
  std::string out = "#";
  for (const std::uint32_t byte : {raw & 0xFF, (raw >> 8) & 0xFF, (raw >> 16) & 0xFF}) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

// A location's colour text as /get shows it.
std::string Describe(const std::string& colorText) {
  if (colorText == kNotFound) return "none";
  const ColorValue color = ColorFromText(colorText);
  return IsExplicitColor(color) ? WebColor(color) : "not-a-colour";
}

std::string Line(const std::string& state, const std::string& keyPath) {
  return state + " HKCU\\" + Ascii(keyPath) + "\r\n";
}

// About an account key listed under a name that is not its own.
constexpr char kNotSpellable[] =
    "its own name has characters this system's code page cannot spell, and the listing "
    "gives it as shown, which is not its name; left alone";

std::string Reason(LSTATUS status) {
  switch (status) {
    case ERROR_FILE_NOT_FOUND: return "the key has gone; nothing created";
    case kNameNotSpellable: return kNotSpellable;
    case ERROR_MORE_DATA: return "its path is too long for this system's 8-bit calls";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_KEY_DELETED: return "the key was deleted";
    default: return "error " + std::to_string(status);
  }
}

// Why a file could not be written, by the Windows error code.
std::string SaveReason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return "the folder does not exist";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_SHARING_VIOLATION: return "the file is in use";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return "the disk is full";
    case ERROR_INVALID_NAME: return "not a valid file name";
    case ERROR_FILENAME_EXCED_RANGE: return "the name is too long";
    case ERROR_FILE_READ_ONLY: return "the file is read-only; it was left as it is";
    case kErrorIsAFolder: return "a folder has that name";
    case kErrorIsADevice: return "it is a device, not a file (CON, NUL, COM1, ...)";
    default: return "error " + std::to_string(error);
  }
}

CommandLine Bad(std::string problem) { return {Mode::BadArguments, 0, std::move(problem), {}}; }

// What start-up reads: both Messenger keys and the account listing.
struct Locations {
  std::string msn = ReadColor(kMsnKeyPath);
  std::string service = ReadColor(kServiceKeyPath);
  std::vector<std::string> accounts;
  std::vector<bool> misspelt;
  std::int32_t accountCount = ListAccounts(accounts, misspelt);
  bool Installed() const { return MessengerInstalled(msn, service, accountCount); }
};

CommandResult Get() {
  const Locations now;
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  const std::vector<std::string> accountColors = ReadAccountColors(now.accounts, now.misspelt);
  std::string lines =
      Line(Describe(now.msn), kMsnKeyPath) + Line(Describe(now.service), kServiceKeyPath);
  std::string notes;
  for (std::size_t i = 0; i < accountColors.size(); ++i) {
    const std::string keyPath = AccountKeyPath(now.accounts[i]);
    lines += Line(Describe(accountColors[i]), keyPath);
    if (now.misspelt[i])
      notes += "not read: HKCU\\" + Ascii(keyPath) + ": " + kNotSpellable + "\r\n";
  }
  return {"colour " + Describe(ShownColor(now.msn, now.service, accountColors)) + "\r\n" + lines,
          notes, kExitDone};
}

CommandResult Set(ColorValue color) {
  const Locations now;
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  CommandResult result;
  for (const LocationWrite& write : WriteColorEverywhere(
           ColorText(color), now.msn, now.service, now.accounts, now.misspelt, now.accountCount)) {
    if (write.status == ERROR_SUCCESS) {
      result.out += Line(WebColor(color), write.keyPath);
    } else {
      result.err +=
          "not written: HKCU\\" + Ascii(write.keyPath) + ": " + Reason(write.status) + "\r\n";
      result.exitCode = kExitWriteFailed;
    }
  }
  return result;
}

// The value's name (ASCII) for the Unicode calls.
std::wstring WideValueName() {
  const std::string_view name(kColorValueName);
  return std::wstring(name.begin(), name.end());
}

CommandResult Export(const std::wstring& file, const SaveFile& saveFile) {
  const auto notWritten = [&file](const std::string& why) {
    return CommandResult{"", "varnelo: " + Quoted(file) + " not written: " + why + "\r\n",
                         kExitWriteFailed};
  };
  // A name that cannot be a file is refused before anything is read or written.
  if (const DWORD refused = RefusedFileName(file); refused != ERROR_SUCCESS) {
    return notWritten(SaveReason(refused));
  }
  const Locations now;
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  const std::wstring valueName = WideValueName();
  std::vector<FileEntry> entries;
  std::string notes;
  for (const ColorLocation& location :
       ColorLocations(now.msn, now.service, now.accounts, now.misspelt, now.accountCount)) {
    const std::string key = "HKCU\\" + Ascii(location.keyPath);
    if (location.leftAlone) {  // /set does not write it either
      notes += "not saved: " + key + ": " + kNotSpellable + "\r\n";
      continue;
    }
    Reg::ExactValue value = Reg::ReadRegValueExact(HKEY_CURRENT_USER, location.keyPath, valueName);
    switch (value.found) {
      case Reg::ExactValue::Found::NoKey: continue;  // a key line would create it
      case Reg::ExactValue::Found::KeyRefused:      // /set cannot open it either
        notes += "not saved: " + key + ": IM Color could not be read: " + Reason(value.status) +
                 "; neither can /set write it\r\n";
        continue;
      case Reg::ExactValue::Found::Failed:
        return notWritten(key + ": IM Color could not be read: " + Reason(value.status));
      case Reg::ExactValue::Found::NoValue:
        entries.push_back({location.keyPath, false, REG_NONE, {}});
        break;
      case Reg::ExactValue::Found::Value:
        entries.push_back({location.keyPath, true, value.type, std::move(value.data)});
        break;
    }
  }
  std::string badKey;
  const std::optional<std::string> bytes = RegistryFile(entries, badKey);
  if (!bytes) {
    return notWritten("HKCU\\" + Ascii(badKey) +
                      ": a registry file cannot name this key (a line break in its name, or "
                      "bytes the code page cannot convert)");
  }
  if (!saveFile) throw std::logic_error("no way to write a file");
  if (const DWORD error = saveFile(file, *bytes); error != ERROR_SUCCESS) {
    return notWritten(SaveReason(error));
  }
  const std::string count = std::to_string(entries.size());
  return {"saved " + count + (entries.size() == 1 ? " location in " : " locations in ") +
              Ascii(file) + "\r\n",
          notes, kExitDone};
}

}  // namespace

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

CommandResult RunCommandLine(const CommandLine& command, const VersionNumbers& version,
                             const SaveFile& saveFile) {
  switch (command.mode) {
    case Mode::Get: return Get();
    case Mode::Set: return Set(command.color);
    case Mode::Export: return Export(command.file, saveFile);
    case Mode::Help: return {kUsage, "", kExitDone};
    case Mode::Version: return {Ascii(VersionCaption(version)) + "\r\n", "", kExitDone};
    case Mode::BadArguments:
    case Mode::Window: break;
  }
  return {"", "varnelo: " + command.problem + "\r\n\r\n" + kUsage, kExitBadArguments};
}

int RunCommandLineMain(const std::function<std::vector<std::wstring>()>& readArguments,
                       const std::function<VersionNumbers()>& readVersion,
                       const WriteText& writeOut, const WriteText& writeErr,
                       const SaveFile& saveFile) {
  CommandResult result;
  try {
    const CommandLine command = ParseCommandLine(readArguments());
    result = RunCommandLine(
        command, command.mode == Mode::Version ? readVersion() : VersionNumbers{}, saveFile);
  } catch (const std::exception& error) {
    result = {"",
              std::string("varnelo: unexpected failure: ") + Ascii(std::string_view(error.what())) +
                  "\r\n",
              kExitUnexpected};
  } catch (...) {
    result = {"", "varnelo: unexpected failure\r\n", kExitUnexpected};
  }
  // Each stream is tried, whatever became of the other.
  const bool outWritten = result.out.empty() || writeOut(result.out);
  const bool errWritten = result.err.empty() || writeErr(result.err);
  if (result.exitCode == kExitDone && !(outWritten && errWritten)) return kExitOutputFailed;
  return result.exitCode;
}

}  // namespace varnelo
