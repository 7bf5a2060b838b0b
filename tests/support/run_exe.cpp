#include "support/run_exe.h"

#include "support/driver.h"

namespace e2e {
namespace {

// A new, empty file in the temporary folder, and its name.
std::wstring TempFileName(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, prefix, 0, path);
  return path;
}

// A new, empty file in the temporary folder, inheritable, deleted when closed.
OwnedHandle TempFile(const wchar_t* prefix, bool writable) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  const HANDLE file = CreateFileW(TempFileName(prefix).c_str(),
                                  writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                  CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  testing_support::Require(file != INVALID_HANDLE_VALUE, "a temporary file");
  return OwnedHandle(file);
}

std::string ReadAll(HANDLE file) {
  std::string text(static_cast<std::size_t>(GetFileSize(file, nullptr)), '\0');
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  DWORD read = 0;
  if (!text.empty()) ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  return text;
}

// A file that cmd wrote by redirection, and then no more.
std::string TakeFile(const std::wstring& path) {
  const OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.get() != INVALID_HANDLE_VALUE ? ReadAll(file.get()) : "(no file)";
}

}  // namespace

std::wstring ProgramFolder() {
  const std::wstring exe = ExePath();
  return exe.substr(0, exe.rfind(L'\\'));
}

Finished RunExe(const std::wstring& arguments, DWORD ms, bool writableOutput, Route route) {
  Finished finished;
  const OwnedHandle out = TempFile(L"out", writableOutput);
  const OwnedHandle err = TempFile(L"err", writableOutput);
  const std::wstring redirectedOut = TempFileName(L"rdo"), redirectedErr = TempFileName(L"rde");
  const std::wstring folder = ProgramFolder();
  std::wstring commandLine;
  switch (route) {
    case Route::Exe: commandLine = L"\"" + ExePath() + L"\" " + arguments; break;
    case Route::Com: commandLine = L"\"" + ComPath() + L"\" " + arguments; break;
    case Route::Cmd: commandLine = L"cmd.exe /c varnelo " + arguments; break;
    case Route::CmdRedirected:
      commandLine = L"cmd.exe /c varnelo " + arguments + L" > \"" + redirectedOut + L"\" 2> \"" +
                    redirectedErr + L"\"";
      break;
  }
  {
    const Process process(commandLine, nullptr, out.get(), err.get(), folder.c_str());
    testing_support::Require(process.Started(), "starting " + Narrow(commandLine.substr(0, 200)) +
                                                    ": error " +
                                                    std::to_string(process.StartError()));
    // Not ended in time: a window or a message box waits for a user who is
    // not there. The process is ended when it goes out of scope.
    const auto code = process.WaitForExit(ms);
    finished.ended = code.has_value();
    finished.exitCode = code.value_or(0);
  }
  finished.out = ReadAll(out.get());
  finished.err = ReadAll(err.get());
  const std::string cmdOut = TakeFile(redirectedOut), cmdErr = TakeFile(redirectedErr);
  if (route == Route::CmdRedirected) {
    finished.out += cmdOut;
    finished.err += cmdErr;
  }
  return finished;
}

}  // namespace e2e
