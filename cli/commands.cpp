#include "cli/commands.h"

#include "base/decimal.h"
#include "core/color_words.h"
#include "core/messenger_colors.h"
#include "core/reasons.h"
#include "registry/reg.h"

#include <cstdint>
#include <exception>
#include <string_view>

namespace varnelo {
namespace {

constexpr char kNotInstalled[] =
    "varnelo: Messenger not found (neither Messenger key holds a colour, and there are no "
    "account keys): it is not installed, or is a version Varnelo does not support\r\n";

// A location's colour text as /get shows it.
std::string Describe(const std::string& colorText) {
  if (colorText == kNotFound) return "none";
  const ColorValue color = ColorFromText(colorText);
  return IsExplicitColor(color) ? WebColor(color) : "not-a-colour";
}

// The same for a location that was read: "none" only where there is no
// value. One too long to be a colour (a longer text, a QWORD, a large
// binary), which reads as none, is not-a-colour.
std::string DescribeAt(const std::string& colorText, const std::string& keyPath) {
  if (colorText == kNotFound) {
    const Reg::ExactValue value = ReadColorExactly(keyPath);
    if (value.found == Reg::ExactValue::Found::Value && value.data.size() > 4) {
      return "not-a-colour";
    }
  }
  return Describe(colorText);
}

// A warning for a colour hard to read where Messenger draws it, on the
// white of the other person's conversation window; "" for any other.
std::string ContrastWarning(ColorValue color) {
  const int contrast = ContrastWithWhite(color);
  if (ReadabilityOf(contrast) != Readability::Poor) return "";
  return "varnelo: warning: " + WebColor(color) + " is hard to read on white (contrast " +
         ContrastFigure(contrast) + ":1; 4.5:1 reads well)\r\n";
}

std::string Line(const std::string& state, const std::string& keyPath) {
  return state + " HKCU\\" + Ascii(keyPath) + "\r\n";
}

// About a location left alone: why 設 定 and /set do not write it.
std::string LeftAloneReason(LSTATUS status) {
  return status == kNameNotSpellable
             ? LocationReasonInEnglish(status)
             : "IM Color could not be read: " + LocationReasonInEnglish(status) +
                   "; neither can /set write it";
}

CommandResult Get() {
  const Profile now = ReadProfile();
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  const std::vector<std::string> accountColors = ReadAccountColors(now.accountIds, now.misspelt);
  std::string lines = Line(DescribeAt(now.msnColor, kMsnKeyPath), kMsnKeyPath) +
                      Line(DescribeAt(now.serviceColor, kServiceKeyPath), kServiceKeyPath);
  std::string notes;
  for (std::size_t i = 0; i < accountColors.size(); ++i) {
    const std::string keyPath = AccountKeyPath(now.accountIds[i]);
    // One whose name is misspelt is not read at all: no value is looked for under it.
    lines +=
        Line(now.misspelt[i] ? Describe(accountColors[i]) : DescribeAt(accountColors[i], keyPath),
             keyPath);
    if (now.misspelt[i])
      notes += "not read: HKCU\\" + Ascii(keyPath) + ": " +
               LocationReasonInEnglish(kNameNotSpellable) + "\r\n";
  }
  return {"colour " + Describe(ShownColor(now.msnColor, now.serviceColor, accountColors)) + "\r\n" +
              lines,
          notes, kExitDone};
}

CommandResult Set(ColorValue color) {
  const Profile now = ReadProfile();
  if (!now.Installed()) return {"", kNotInstalled, kExitNotInstalled};
  CommandResult result{"", ContrastWarning(color), kExitDone};
  for (const ColorWrite& write : WriteColorEverywhere(ColorText(color), now)) {
    if (write.status == ERROR_SUCCESS) {
      result.out += Line(WebColor(color), write.keyPath);
    } else {
      result.err += "not written: HKCU\\" + Ascii(write.keyPath) + ": " +
                    LocationReasonInEnglish(write.status) + "\r\n";
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
      return notWritten(key + ": IM Color could not be read: " +
                        LocationReasonInEnglish(static_cast<LSTATUS>(save.error)));
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
