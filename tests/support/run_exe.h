// Runs the exe under test with arguments and no window expected, the way a
// script would: standard output and error go to files, read back when it
// ends. Windows test programs only.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

struct Finished {
  bool ended = false;  // false: still running after the time allowed (then ended by force)
  DWORD exitCode = 0;
  std::string out;
  std::string err;
};

// How the program is reached: varnelo.exe itself; its console companion
// varnelo.com; or `varnelo ARGUMENTS` given to cmd in their folder (which
// picks the .com), writing to cmd's own output or redirected by cmd to
// files (`> out 2> err`).
enum class Route { Exe, Com, Cmd, CmdRedirected };

// The folder of varnelo.exe and varnelo.com, where cmd finds the .com.
std::wstring ProgramFolder();

// `arguments` as they follow the program's name on a command line. With
// `writableOutput` false, its standard output and error are files it may
// only read: every write to them fails. Through cmd, what cmd itself writes
// comes first in `out` and `err`.
Finished RunExe(const std::wstring& arguments, DWORD ms = 20000, bool writableOutput = true,
                Route route = Route::Exe);

}  // namespace e2e
