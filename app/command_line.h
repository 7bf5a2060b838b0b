// The command line: reading, setting and saving the colour from scripts,
// with no window. Portable: it works on the registry through the Messenger
// colour rules (messenger_colors.h), and gives back text and an exit code;
// main.cpp writes them to the standard handles, and gives it the function
// that writes a file.
#pragma once

#include "base/color_value.h"
#include "base/version_numbers.h"

#include <windows.h>

#include <functional>
#include <string>
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
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);

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

// Writes `bytes` as the file `path` completely or not at all, replacing a
// file of that name: ERROR_SUCCESS, or the Windows error code of what failed
// (file_names.h: kErrorIsAFolder where `path` names a folder,
// kErrorIsADevice where it names a device; ERROR_FILE_READ_ONLY for a
// read-only file).
using SaveFile = std::function<DWORD(const std::wstring& path, const std::string& bytes)>;

// Carries out a parsed command line other than Mode::Window. Only /get, /set
// and /export touch the registry, and only /set writes to it: exactly what
// the window's 設 定 would write with that colour selected. /export reads
// "IM Color" at each place /set would write it now and saves them with
// `saveFile` as a registry file that puts them back (registry_file.h).
CommandResult RunCommandLine(const CommandLine& command, const VersionNumbers& version,
                             const SaveFile& saveFile = {});

// Writes a text to one of the standard streams: true when all of it was written.
using WriteText = std::function<bool(const std::string&)>;

// The command line from its arguments to its exit code: reads the arguments,
// parses and runs them (the version is read only for /version; /export
// writes its file with `saveFile`), and writes the output. Any exception
// becomes kExitUnexpected with one line on standard error; output that could
// not be written turns a success into kExitOutputFailed (a failure keeps its
// own code). Never a message box.
int RunCommandLineMain(const std::function<std::vector<std::wstring>()>& readArguments,
                       const std::function<VersionNumbers()>& readVersion,
                       const WriteText& writeOut, const WriteText& writeErr,
                       const SaveFile& saveFile);

}  // namespace varnelo
