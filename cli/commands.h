// The command line's commands: reading, setting and saving the colour from
// scripts, with no window. Portable: they work on the registry through the
// Messenger colour rules (messenger_colors.h), and give back text and an exit
// code; main.cpp writes them to the standard handles, and gives them the
// function that writes a file.
#pragma once

#include "base/version_numbers.h"
#include "cli/command_line.h"
#include "core/backup_file.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace varnelo {

// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitWriteFailed = 1;  // /set: a location; /export: the file
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitNotInstalled = 3;
inline constexpr int kExitOutputFailed = 4;  // standard output or error could not be written
inline constexpr int kExitUnexpected = 5;    // reading the arguments failed, or a bug

struct CommandResult {
  std::string out;  // standard output, ASCII, lines ending in CR LF
  std::string err;  // standard error, likewise
  int exitCode = kExitDone;
};

// Carries out a parsed command line other than Mode::Window. Only /get, /set
// and /export touch the registry, and only /set writes to it: exactly what
// the window's 設 定 would write with that colour selected. /export saves
// as the window's 色を保存 does (SaveBackup, backup_file.h), with
// `saveFile`, naming on standard error each location it leaves alone.
[[nodiscard]] CommandResult RunCommandLine(const CommandLine& command,
                                           const VersionNumbers& version,
                                           const SaveFile& saveFile = {});

// Writes a text to one of the standard streams: true when all of it was written.
using WriteText = std::function<bool(const std::string&)>;

// The command line from its arguments to its exit code: reads the arguments,
// parses and runs them (the version is read only for /version; /export
// writes its file with `saveFile`), and writes the output. Any exception
// becomes kExitUnexpected with one line on standard error; output that could
// not be written turns a success into kExitOutputFailed (a failure keeps its
// own code). Never a message box.
[[nodiscard]] int RunCommandLineMain(
    const std::function<std::vector<std::wstring>()>& readArguments,
    const std::function<VersionNumbers()>& readVersion, const WriteText& writeOut,
    const WriteText& writeErr, const SaveFile& saveFile);

}  // namespace varnelo
