// Varnelo: sets the colour in which MSN Messenger and Windows Messenger draw
// the user's own message text.
#include "app/win32/main_window.h"
#include "app/win32/startup_trace.h"
#include "app/win32/version_info.h"
#include "base/dep_policy.h"
#include "base/error.h"
#include "base/system_library.h"
#include "cli/commands.h"
#include "core/win32/file_handle.h"
#include "core/win32/save_file.h"

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

using varnelo::SystemFunctionAs;

// People run a tool like this from their downloads folder. DLLs loaded later
// (the colour dialog's, and those the system loads for it) must never come
// from the current folder or, where the system lets us say so, from the
// program's own. Both calls are looked up at run time: SetDllDirectoryW is
// XP SP1's, SetDefaultDllDirectories Windows 8's (or 7's with KB2533623).
void KeepDllSearchToTheSystem() {
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (const auto drop = SystemFunctionAs<SetDllDirectoryFn>(L"kernel32.dll", "SetDllDirectoryW")) {
    drop(L"");  // the current folder leaves the search path
  }
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (const auto only = SystemFunctionAs<SetDefaultDllDirectoriesFn>(L"kernel32.dll",
                                                                     "SetDefaultDllDirectories")) {
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
      const HANDLE console =
          CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
      if (console != INVALID_HANDLE_VALUE) console_.reset(console);
      if (out_ == nullptr) out_ = console_.get();
      if (err_ == nullptr) err_ = console_.get();
    }
  }

  bool Out(const std::string& text) const { return Write(out_, text); }
  bool Err(const std::string& text) const { return Write(err_, text); }

 private:
  static HANDLE Usable(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return GetFileType(handle) != FILE_TYPE_UNKNOWN ? handle : nullptr;
  }
  // True only when every byte went out; with no stream at all, nothing did.
  static bool Write(HANDLE handle, const std::string& text) {
    DWORD written = 0;
    return handle != nullptr &&
           WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
               FALSE &&
           written == text.size();
  }

  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
  varnelo::FileHandle console_;
};

// The arguments after the program's name, as the C runtime split them.
std::vector<std::wstring> Arguments() {
  if (__wargv == nullptr) throw varnelo::Error("the C runtime gave no arguments");
  std::vector<std::wstring> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__wargv[i]);
  return args;
}

// With a switch the program must not end in a message box, not even through
// a bug: the C runtime's abort() shows one in a GUI program.
[[noreturn]] void EndUnexpectedly() { ExitProcess(varnelo::kExitUnexpected); }

int RunWithoutWindow(HINSTANCE instance) {
  std::set_terminate(EndUnexpectedly);
  const StandardOutput output;
  return varnelo::RunCommandLineMain(
      Arguments, [instance] { return varnelo::ReadVersionResource(instance); },
      [&output](const std::string& text) { return output.Out(text); },
      [&output](const std::string& text) { return output.Err(text); }, varnelo::SaveFileAtomically);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  VARNELO_TRACE("C runtime started");
  varnelo::TurnOnDep();
  KeepDllSearchToTheSystem();
  VARNELO_TRACE("DEP, DLL search path");
  if (__argc > 1) return RunWithoutWindow(instance);  // a switch: no window
  varnelo::MainWindow window(instance);
  return window.Run(showCommand);
}
