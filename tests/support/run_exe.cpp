#include "support/run_exe.h"

#include "support/driver.h"

#include <gtest/gtest.h>

#include <vector>

namespace e2e {
namespace {

// A new, empty file in the temporary folder, inheritable, deleted when closed.
OwnedHandle TempFile(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, prefix, 0, path);
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  const HANDLE file =
      CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                  CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << "temporary file";
  return OwnedHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
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

Finished RunExe(const std::wstring& arguments, DWORD ms) {
  Finished finished;
  const OwnedHandle out = TempFile(L"out");
  const OwnedHandle err = TempFile(L"err");
  std::wstring commandLine = L"\"" + ExePath() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    ADD_FAILURE() << "cannot start " << Narrow(commandLine) << ": " << GetLastError();
    return finished;
  }
  const OwnedHandle process(info.hProcess), thread(info.hThread);
  finished.ended = WaitForSingleObject(process.get(), ms) == WAIT_OBJECT_0;
  if (!finished.ended) {  // a window or a message box waits for a user who is not there
    TerminateProcess(process.get(), 99);
    WaitForSingleObject(process.get(), 5000);
  }
  GetExitCodeProcess(process.get(), &finished.exitCode);
  finished.out = ReadAll(out.get());
  finished.err = ReadAll(err.get());
  return finished;
}

}  // namespace e2e
