#include "cli/commands.h"

#include "base/decimal.h"
#include "core/color_words.h"
#include "core/messenger_colors.h"
#include "core/save_reasons.h"
#include "registry/reg.h"

#include <cstdint>
#include <exception>
#include <string_view>

namespace varnelo {
namespace {

constexpr char kNotInstalled[] =
    "Messenger is not installed, or is a version Varnelo does not support: no colour is set "
    "and no Messenger account is registered.\r\n";

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
    default: return "error " + Decimal(status);
  }
}

// About a location left alone: why 設 定 and /set do not write it.
std::string LeftAloneReason(LSTATUS status) {
  return status == kNameNotSpellable
             ? std::string(kNotSpellable)
             : "IM Color could not be read: " + Reason(status) + "; neither can /set write it";
}

CommandResult Get() {
  const Profile now = ReadProfile();
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  const std::vector<std::string> accountColors = ReadAccountColors(now.accountIds, now.misspelt);
  std::string lines =
      Line(Describe(now.msnColor), kMsnKeyPath) + Line(Describe(now.serviceColor), kServiceKeyPath);
  std::string notes;
  for (std::size_t i = 0; i < accountColors.size(); ++i) {
    const std::string keyPath = AccountKeyPath(now.accountIds[i]);
    lines += Line(Describe(accountColors[i]), keyPath);
    if (now.misspelt[i])
      notes += "not read: HKCU\\" + Ascii(keyPath) + ": " + kNotSpellable + "\r\n";
  }
  return {"colour " + Describe(ShownColor(now.msnColor, now.serviceColor, accountColors)) + "\r\n" +
              lines,
          notes, kExitDone};
}

CommandResult Set(ColorValue color) {
  const Profile now = ReadProfile();
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  CommandResult result;
  for (const ColorWrite& write : WriteColorEverywhere(ColorText(color), now)) {
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

CommandResult Export(const std::wstring& file, const SaveFile& saveFile) {
  const auto notWritten = [&file](const std::string& why) {
    return CommandResult{"", "varnelo: " + Quoted(file) + " not written: " + why + "\r\n",
                         kExitWriteFailed};
  };
  const BackupSave save = SaveBackup(file, ReadProfile, saveFile);
  const std::string key = "HKCU\\" + Ascii(save.keyPath);
  switch (save.outcome) {
    case BackupSave::Outcome::NameRefused:
    case BackupSave::Outcome::NotWritten: return notWritten(SaveReasonInEnglish(save.error));
    case BackupSave::Outcome::NotInstalled: return {"", kNotInstalled, kExitNotInstalled};
    case BackupSave::Outcome::Unreadable:
      return notWritten(
          key + ": IM Color could not be read: " + Reason(static_cast<LSTATUS>(save.error)));
    case BackupSave::Outcome::KeyNotNameable:
      return notWritten(key +
                        ": a registry file cannot name this key (a line break in its name, or "
                        "bytes the code page cannot convert)");
    case BackupSave::Outcome::Saved: break;
  }
  std::string notes;
  for (const LocationStatus& location : save.leftAlone) {
    notes += "not saved: HKCU\\" + Ascii(location.keyPath) + ": " +
             LeftAloneReason(location.status) + "\r\n";
  }
  return {"saved " + Decimal(save.saved) + (save.saved == 1 ? " location in " : " locations in ") +
              Ascii(file) + "\r\n",
          notes, kExitDone};
}

}  // namespace

CommandResult RunCommandLine(const CommandLine& command, const VersionNumbers& version,
                             const SaveFile& saveFile) {
  switch (command.mode) {
    case Mode::Get: return Get();
    case Mode::Set: return Set(command.color);
    case Mode::Export: return Export(command.file, saveFile);
    case Mode::Help: return {UsageText(), "", kExitDone};
    case Mode::Version: return {Ascii(VersionCaption(version)) + "\r\n", "", kExitDone};
    case Mode::BadArguments:
    case Mode::Window: break;
  }
  return {"", "varnelo: " + command.problem + "\r\n\r\n" + UsageText(), kExitBadArguments};
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
