// Varnelo: sets the colour in which MSN Messenger and Windows Messenger draw
// the user's own message text.
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/startup_trace.h"
#include "app/version_info.h"

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

// Every failure inside a handler is caught at the window's dispatch and
// reported there, so nothing reaches std::terminate but a bug. libstdc++'s
// default terminate handler would print a demangled type name to a console
// this program does not have, and brings in 46 KB of demangler to do it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

// A kernel32 function that this Windows may lack, or nullptr.
template <typename Function>
Function Kernel32Function(const char* name) {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel32, name)));
}

// 32-bit Windows XP SP3 gives a program DEP only when the program asks for it
// (its default policy ignores the exe's NX flag). Vista SP1 and later already
// apply the flag for good, so the call fails there and changes nothing; the
// function is XP SP3's, hence the look-up, and a 64-bit process always has DEP.
void TurnOnDep() {
#ifndef _WIN64
  using SetProcessDepPolicyFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kDepEnable = 0x00000001;  // PROCESS_DEP_ENABLE
  if (const auto turnOn = Kernel32Function<SetProcessDepPolicyFn>("SetProcessDEPPolicy")) {
    turnOn(kDepEnable);
  }
#endif
}

// People run a tool like this from their downloads folder. DLLs loaded later
// (the colour dialog's, and those the system loads for it) must never come
// from the current folder or, where the system lets us say so, from the
// program's own. Both calls are looked up at run time: SetDllDirectoryW is
// XP SP1's, SetDefaultDllDirectories Windows 8's (or 7's with KB2533623).
void KeepDllSearchToTheSystem() {
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (const auto drop = Kernel32Function<SetDllDirectoryFn>("SetDllDirectoryW")) {
    drop(L"");  // the current folder leaves the search path
  }
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (const auto only = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
    only(kSearchSystem32);
  }
}

// Where the command line's output goes. A GUI program has standard handles
// only when its parent passed some (a file, a pipe, Wine's terminal); else it
// borrows the console of the window it was started from, if there is one.
class StandardOutput {
 public:
  StandardOutput() {
    out_ = Usable(GetStdHandle(STD_OUTPUT_HANDLE));
    err_ = Usable(GetStdHandle(STD_ERROR_HANDLE));
    if ((out_ == nullptr || err_ == nullptr) && AttachConsole(ATTACH_PARENT_PROCESS) != FALSE) {
      console_ = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
      if (console_ == INVALID_HANDLE_VALUE) console_ = nullptr;
      if (out_ == nullptr) out_ = console_;
      if (err_ == nullptr) err_ = console_;
    }
  }
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  ~StandardOutput() {
    if (console_ != nullptr) CloseHandle(console_);
  }

  void Out(const std::string& text) const { Write(out_, text); }
  void Err(const std::string& text) const { Write(err_, text); }

 private:
  static HANDLE Usable(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return GetFileType(handle) != FILE_TYPE_UNKNOWN ? handle : nullptr;
  }
  static void Write(HANDLE handle, const std::string& text) {
    DWORD written = 0;
    if (handle != nullptr && !text.empty()) {
      WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
  }

  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
  HANDLE console_ = nullptr;
};

// The arguments after the program's name, as the C runtime split them.
std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__wargv[i]);
  return args;
}

int RunWithoutWindow(HINSTANCE instance, const varnelo::CommandLine& command) {
  const StandardOutput output;
  try {
    const varnelo::VersionNumbers version = command.mode == varnelo::Mode::Version
                                                ? varnelo::ReadVersionResource(instance)
                                                : varnelo::VersionNumbers{};
    const varnelo::CommandResult result = varnelo::RunCommandLine(command, version);
    output.Out(result.out);
    output.Err(result.err);
    return result.exitCode;
  } catch (const std::exception& error) {
    output.Err(std::string("varnelo: ") + error.what() + "\r\n");
    return varnelo::kExitWriteFailed;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  VARNELO_TRACE("C runtime started");
  TurnOnDep();
  KeepDllSearchToTheSystem();
  VARNELO_TRACE("DEP, DLL search path");
  const varnelo::CommandLine command = varnelo::ParseCommandLine(Arguments());
  if (command.mode != varnelo::Mode::Window) return RunWithoutWindow(instance, command);
  varnelo::MainWindow window(instance);
  return window.Run(showCommand);
}
