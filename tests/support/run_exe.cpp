#include "support/run_exe.h"

#include "support/driver.h"

namespace e2e {
namespace {

// A new, empty file in the temporary folder, inheritable, deleted when closed.
OwnedHandle TempFile(const wchar_t* prefix, bool writable) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, prefix, 0, path);
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  const HANDLE file = CreateFileW(path, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
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

}  // namespace

Finished RunExe(const std::wstring& arguments, DWORD ms, bool writableOutput) {
  Finished finished;
  const OwnedHandle out = TempFile(L"out", writableOutput);
  const OwnedHandle err = TempFile(L"err", writableOutput);
  {
    const Process process(L"\"" + ExePath() + L"\" " + arguments, nullptr, out.get(), err.get());
    testing_support::Require(process.Started(), "starting varnelo.exe " + Narrow(arguments) +
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
  return finished;
}

}  // namespace e2e
