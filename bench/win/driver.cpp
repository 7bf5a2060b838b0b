// bench_driver: times varnelo.exe and what a user would run instead, under
// Wine, from one process and with one clock (QueryPerformanceCounter). Every
// program is started the same way (CreateProcessW from here), so each figure
// that includes a process start includes the same one.
//
//   bench_driver N RUNS VARNELO.exe WINDOW.exe EMPTY.exe REGLOOP.exe APPLY.reg
//
// (Windows paths.) HKEY_CURRENT_USER must hold the benchmark profile: N
// account keys, only the last in listing order holding "IM Color" = 00 FF 00
// 00, and no value under the two Messenger keys. Prints one line per figure:
//
//   sample <what> <milliseconds>
//   peak <what> <KiB>              peak working set of a program
//
// and exits non-zero, with the reason on standard error, as soon as a program
// did not do its work (bench/run.sh then makes no table at all).
//
// Each phase runs RUNS recorded rounds after one round that is not recorded
// (it warms file and server caches).
//
// Start-up (all include starting a process), interleaved round by round:
//   start.app     varnelo.exe: process start -> Form1 shown and idle; the
//                 colour is read before the window is shown
//   start.window  an empty window program, the same way
//   start.floor   the loop program (read): process start -> loop done
//   start.reg     reg query <account keys> /s: process start -> exit
//   start.empty   an empty console program: process start -> exit
// Undo, each run putting back one step that created "IM Color" under every
// account key but the last (at N = 1, under the only one), made by a click on
// 設 定 before it (not timed); the floor's undo puts back the same values,
// which its write (not timed) has created again:
//   undo.app        one 元に戻す (WM_SYSCOMMAND kUndoCommand): sent -> handled
//   undo.floor      the loop program (undo), the loop alone
//   undo.floorproc  the loop program (undo): process start -> loop done
// Apply, each run writing "IM Color" to all N account keys over values that
// hold the same colour (the first apply, which creates them, is apply.first):
//   apply.app       one click on 設 定 (Command3): BM_CLICK sent -> handled
//   apply.msg       an empty message sent to the window and answered
//   apply.floor     the loop program (write), the loop alone
//   apply.floorproc the loop program (write): process start -> loop done
//   apply.reg       reg import APPLY.reg: process start -> exit
#include "app/win32/control_ids.h"
#include "app/win32/system_menu.h"
#include "registry/scoped_key.h"
#include "support/from_outside.h"
#include "support/messenger.h"
#include "support/registry_tree.h"

#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support::messenger;

namespace {

constexpr wchar_t kWindowClass[] = L"VarneloBenchWindow";
const std::vector<BYTE> kColor = testing_support::Le32(0x00FF00);  // as the profile holds it
constexpr DWORD kPatienceMs = 600000;

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& what) {
  throw Failure(what + " (error " + std::to_string(GetLastError()) + ")");
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;  // milliseconds
}

bool recording = false;  // off during the warm-up rounds

void Sample(const char* what, double ms) {
  if (!recording) return;
  std::printf("sample %s %.3f\n", what, ms);
  std::fflush(stdout);
}

// A started program that must do its work: the benchmark fails if it cannot
// start, hangs or ends with an error. Ended (if it still runs) when this goes.
class Child {
 public:
  // With an `output` handle, the program writes there and reads and writes
  // nothing else.
  explicit Child(const std::wstring& commandLine, HANDLE output = nullptr)
      : name_(e2e::Narrow(commandLine)),
        process_(commandLine, output ? Nul() : nullptr, output, output ? Nul() : nullptr) {
    if (!process_.Started()) {
      throw Failure("cannot start " + name_ + " (error " + std::to_string(process_.StartError()) +
                    ")");
    }
  }

  const e2e::Process& process() const { return process_; }

  // Waits for the end; fails unless the exit code is 0.
  void WaitForExit() const {
    const auto code = process_.WaitForExit(kPatienceMs);
    if (!code) throw Failure(name_ + " hangs");
    if (*code != 0) throw Failure(name_ + " exited with " + std::to_string(*code));
  }

  std::size_t PeakKiB() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process_.Handle(), &counters, sizeof(counters))) {
      Fail("GetProcessMemoryInfo of " + name_);
    }
    return counters.PeakWorkingSetSize / 1024;
  }

  // Standard input, output and error for programs whose output is not wanted.
  static HANDLE Nul() {
    static const e2e::OwnedHandle nul = [] {
      SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
      e2e::OwnedHandle handle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                          OPEN_EXISTING, 0, nullptr));
      if (handle.get() == INVALID_HANDLE_VALUE) Fail("cannot open NUL");
      return handle;
    }();
    return nul.get();
  }

 private:
  std::string name_;
  e2e::Process process_;
};

// Waits until the program's window is shown and its thread has gone idle
// (waiting for input, having handled everything up to showing and painting
// the window). WaitForInputIdle tells when the thread first waits for input;
// the window is then checked, and polled for if a nested wait came first.
HWND WaitUntilShown(const Child& child, const wchar_t* className) {
  const e2e::Process& process = child.process();
  if (WaitForInputIdle(process.Handle(), kPatienceMs) != 0) Fail("WaitForInputIdle");
  const HWND shown = e2e::SampleUntil(
      [&] { return e2e::FindVisibleTopLevel(process.Pid(), className); },
      [&](HWND found) { return found != nullptr || !process.Running(); }, kPatienceMs, 1);
  if (shown != nullptr) return shown;
  throw Failure(process.Running() ? "the window was not shown"
                                  : "the program ended before showing its window");
}

void CloseWindowAndWait(const Child& child, HWND hwnd) {
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  child.WaitForExit();
}

// ---- the profile in the registry -----------------------------------------

struct Profile {
  std::size_t accounts = 0;
  std::string firstPath;  // the first account key in listing order
  std::string lastPath;
  // The key before the last (the only one at N = 1): with firstPath, the two
  // ends of the undo phase's step.
  std::string beforeLastPath;
};

Profile ReadProfile() {
  Reg::ScopedKey list;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAccounts, 0, KEY_ENUMERATE_SUB_KEYS, list.receive()) !=
      ERROR_SUCCESS) {
    Fail("no account keys");
  }
  const std::vector<std::string> names = testing_support::SubkeyNames(list.get());
  if (names.empty()) throw Failure("no account keys");
  return {names.size(), Account(names.front()), Account(names.back()),
          Account(names[names.size() > 1 ? names.size() - 2 : 0])};
}

// Whether `path` holds "IM Color" as the benchmark's 4 bytes of REG_BINARY;
// fails if it holds anything else.
bool HoldsColor(const std::string& path) {
  const auto value = testing_support::ReadValue(HKEY_CURRENT_USER, path, kValue);
  if (!value) return false;
  if (*value != testing_support::RawValue{REG_BINARY, kColor}) {
    throw Failure("unexpected \"IM Color\" under " + path);
  }
  return true;
}

void SetColor(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.receive()) !=
          ERROR_SUCCESS ||
      RegSetValueExA(key.get(), kValue, 0, REG_BINARY, kColor.data(),
                     static_cast<DWORD>(kColor.size())) != ERROR_SUCCESS) {
    Fail("cannot set \"IM Color\" under " + path);
  }
}

void RemoveColor(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.receive()) !=
          ERROR_SUCCESS ||
      RegDeleteValueA(key.get(), kValue) != ERROR_SUCCESS) {
    Fail("cannot remove \"IM Color\" under " + path);
  }
}

// ---- the measurements ----------------------------------------------------

struct Programs {
  std::wstring app;
  std::wstring window;
  std::wstring empty;
  std::wstring regloop;
  std::wstring applyReg;
};

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// A program whose output is not wanted: process start -> exit.
double TimeProcess(const std::wstring& commandLine) {
  const double start = Now();
  const Child child(commandLine, Child::Nul());
  child.WaitForExit();
  return Now() - start;
}

struct LoopResult {
  double toDone = 0;  // process start -> its line arrived (work done)
  double loop = 0;    // the loop alone, as the program timed it
  std::size_t accounts = 0;
  std::size_t found = 0;
};

LoopResult TimeLoop(const Programs& programs, const wchar_t* mode) {
  HANDLE readRaw = nullptr;
  HANDLE writeRaw = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (!CreatePipe(&readRaw, &writeRaw, &inheritable, 0)) Fail("CreatePipe");
  e2e::OwnedHandle readEnd(readRaw);
  e2e::OwnedHandle writeEnd(writeRaw);
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  LoopResult result;
  const double start = Now();
  const Child child(Quoted(programs.regloop) + L" " + mode, writeEnd.get());
  writeEnd.reset();  // the child holds the only write end now
  std::string line;
  std::array<char, 128> buffer{};
  DWORD got = 0;
  while (line.find('\n') == std::string::npos &&
         ReadFile(readEnd.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0) {
    if (line.empty()) result.toDone = Now() - start;
    line.append(buffer.data(), got);
  }
  child.WaitForExit();
  unsigned long long micros = 0;
  if (std::sscanf(line.c_str(), "%zu %zu %llu", &result.accounts, &result.found, &micros) != 3) {
    throw Failure("the loop program wrote \"" + line + "\"");
  }
  result.loop = static_cast<double>(micros) / 1000.0;
  return result;
}

double SendAndWait(HWND hwnd, UINT message, WPARAM wParam = 0) {
  const double start = Now();
  if (!e2e::SendWaiting(hwnd, message, wParam, 0, kPatienceMs)) Fail("the window did not answer");
  return Now() - start;
}

// Starts a window program, records the time until its window is shown as
// `sample`, closes it again and returns its peak working set (KiB).
std::size_t TimeUntilShown(const std::wstring& program, const wchar_t* className,
                           const char* sample) {
  const double start = Now();
  const Child child(Quoted(program));
  const HWND shown = WaitUntilShown(child, className);
  Sample(sample, Now() - start);
  const std::size_t peak = child.PeakKiB();
  CloseWindowAndWait(child, shown);
  return peak;
}

void StartUp(const Programs& programs, const Profile& profile, int runs) {
  std::size_t peak = 0;
  std::size_t windowPeak = 0;
  for (int run = -1; run < runs; ++run) {
    recording = run >= 0;
    peak = std::max(peak, TimeUntilShown(programs.app, VARNELO_FORM1_CLASS, "start.app"));
    windowPeak =
        std::max(windowPeak, TimeUntilShown(programs.window, kWindowClass, "start.window"));
    {
      const LoopResult loop = TimeLoop(programs, L"read");
      // Only the last account key holds a value.
      if (loop.accounts != profile.accounts || loop.found != 1) {
        throw Failure("the loop program read " + std::to_string(loop.accounts) + " keys, " +
                      std::to_string(loop.found) + " values");
      }
      Sample("start.floor", loop.toDone);
    }
    const std::wstring accounts(std::begin(kAccounts), std::end(kAccounts) - 1);
    Sample("start.reg", TimeProcess(L"reg.exe query \"HKCU\\" + accounts + L"\" /s"));
    Sample("start.empty", TimeProcess(Quoted(programs.empty)));
    // Start-up only reads: the profile must be as it was.
    if (profile.accounts > 1 && HoldsColor(profile.firstPath)) {
      throw Failure("something wrote during start-up");
    }
  }
  std::printf("peak start.app %zu\npeak start.window %zu\n", peak, windowPeak);
}

// The loop program's run in `mode`, which must have found `expected` values.
LoopResult RunLoop(const Programs& programs, const wchar_t* mode, const Profile& profile,
                   std::size_t expected) {
  const LoopResult loop = TimeLoop(programs, mode);
  if (loop.accounts != profile.accounts || loop.found != expected) {
    throw Failure("the loop program (" + e2e::Narrow(mode) + ") did " + std::to_string(loop.found) +
                  " of " + std::to_string(expected) + " values (" + std::to_string(loop.accounts) +
                  " keys)");
  }
  return loop;
}

void Undo(const Programs& programs, const Profile& profile, int runs) {
  const Child app(Quoted(programs.app));
  const HWND form = WaitUntilShown(app, VARNELO_FORM1_CLASS);
  const HWND button = GetDlgItem(form, varnelo::ids::Command3);
  if (button == nullptr) Fail("no 設 定 button");

  // The step: every account key but the last, or the only one, whose value
  // goes now (the window has read its colour and writes that one).
  const bool single = profile.accounts == 1;
  const std::size_t stepSize = single ? 1 : profile.accounts - 1;
  if (single) RemoveColor(profile.lastPath);
  // Both ends of the step hold the colour, or neither does; the last key
  // keeps its own throughout.
  const auto check = [&](bool written, const std::string& what) {
    if (HoldsColor(profile.firstPath) != written || HoldsColor(profile.beforeLastPath) != written ||
        (!single && !HoldsColor(profile.lastPath))) {
      throw Failure(what);
    }
  };
  for (int run = -1; run < runs; ++run) {
    recording = run >= 0;
    if (!e2e::SendWaiting(button, BM_CLICK, 0, 0, kPatienceMs)) Fail("the window did not answer");
    check(true, "設 定 did not create the step's values");
    Sample("undo.app", SendAndWait(form, WM_SYSCOMMAND, varnelo::kUndoCommand));
    check(false, "元に戻す did not put back the step");

    RunLoop(programs, L"write", profile, profile.accounts);
    check(true, "the loop program (write) did not create the step's values");
    const LoopResult loop = RunLoop(programs, L"undo", profile, stepSize);
    check(false, "the loop program (undo) did not put back the step");
    Sample("undo.floor", loop.loop);
    Sample("undo.floorproc", loop.toDone);
  }
  if (single) SetColor(profile.lastPath);
  CloseWindowAndWait(app, form);
}

void Apply(const Programs& programs, const Profile& profile, int runs) {
  const Child app(Quoted(programs.app));
  const HWND form = WaitUntilShown(app, VARNELO_FORM1_CLASS);
  const HWND button = GetDlgItem(form, varnelo::ids::Command3);
  if (button == nullptr) Fail("no 設 定 button");

  // The first apply creates the value under every account key but the last.
  recording = true;
  Sample("apply.first", SendAndWait(button, BM_CLICK));
  if (!HoldsColor(profile.firstPath)) throw Failure("the first apply wrote nothing");

  // From here on every run writes over the same values. Before each one the
  // first account key loses its value, and the run must put it back: proof
  // that it did its work.
  const auto check = [&](const char* who) {
    if (!HoldsColor(profile.firstPath) || !HoldsColor(profile.lastPath)) {
      throw Failure(std::string(who) + " did not write every account key");
    }
  };
  for (int run = -1; run < runs; ++run) {
    recording = run >= 0;
    Sample("apply.msg", SendAndWait(form, WM_NULL));

    RemoveColor(profile.firstPath);
    Sample("apply.app", SendAndWait(button, BM_CLICK));
    check("varnelo.exe");

    RemoveColor(profile.firstPath);
    const LoopResult loop = RunLoop(programs, L"write", profile, profile.accounts);
    check("the loop program");
    Sample("apply.floor", loop.loop);
    Sample("apply.floorproc", loop.toDone);

    RemoveColor(profile.firstPath);
    Sample("apply.reg", TimeProcess(L"reg.exe import " + Quoted(programs.applyReg)));
    check("reg import");
  }
  std::printf("peak app %zu\n", app.PeakKiB());
  CloseWindowAndWait(app, form);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 8) {
    std::fputs(
        "usage: bench_driver N RUNS VARNELO.exe WINDOW.exe EMPTY.exe REGLOOP.exe APPLY.reg\n",
        stderr);
    return 2;
  }
  const auto expected = static_cast<std::size_t>(std::wcstoul(argv[1], nullptr, 10));
  const int runs = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  const Programs programs{argv[3], argv[4], argv[5], argv[6], argv[7]};
  if (runs < 1) {
    std::fprintf(stderr, "bench_driver: RUNS must be a whole number of at least 1, not '%ls'\n",
                 argv[2]);
    return 2;
  }
  try {
    const Profile profile = ReadProfile();
    if (profile.accounts != expected) {
      throw Failure("the registry holds " + std::to_string(profile.accounts) +
                    " account keys, not " + std::to_string(expected));
    }
    const auto holdsValue = [](const char* path) {
      return testing_support::ReadValue(HKEY_CURRENT_USER, path, kValue).has_value();
    };
    if (holdsValue(kMsn) || holdsValue(kService) || !HoldsColor(profile.lastPath) ||
        (expected > 1 && HoldsColor(profile.firstPath))) {
      throw Failure("the registry does not hold the benchmark profile");
    }
    StartUp(programs, profile, runs);
    Undo(programs, profile, runs);
    Apply(programs, profile, runs);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "bench_driver: N=%zu: %s\n", expected, failure.what());
    return 1;
  }
  return 0;
}
