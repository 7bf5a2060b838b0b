#include "app/win32/save_file.h"

#include "app/command_line.h"
#include "base/unique_handle.h"

namespace varnelo {
namespace {

void CloseFile(HANDLE handle) { CloseHandle(handle); }
using FileHandle = UniqueHandle<HANDLE, CloseFile>;

// The temporary file, deleted when this goes unless it was moved into place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    file_.reset();
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }

  // Creates a new file whose name is `path` with a suffix of its own; a name
  // already taken is not reused. Returns ERROR_SUCCESS or why it failed.
  DWORD Create(const std::wstring& path) {
    constexpr unsigned kTries = 100;
    const std::wstring stem = path + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned n = 0; n < kTries; ++n) {
      const std::wstring name = stem + std::to_wstring(n) + L".tmp";
      const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        file_.reset(file);
        path_ = name;
        return ERROR_SUCCESS;
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
  }

  // Writes all of `bytes` and flushes them to the disk.
  DWORD Write(const std::string& bytes) {
    DWORD written = 0;
    if (WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ==
        FALSE) {
      return GetLastError();
    }
    if (written != bytes.size()) return ERROR_DISK_FULL;
    return FlushFileBuffers(file_.get()) != FALSE ? ERROR_SUCCESS : GetLastError();
  }

  // Closes the file and puts it in place of `path`; from then on it is no
  // longer deleted.
  DWORD MoveTo(const std::wstring& path) {
    file_.reset();
    if (MoveFileExW(path_.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE) {
      return GetLastError();
    }
    path_.clear();
    return ERROR_SUCCESS;
  }

 private:
  FileHandle file_;
  std::wstring path_;
};

}  // namespace

DWORD SaveFileAtomically(const std::wstring& path, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return kErrorIsAFolder;
  }
  TemporaryFile temporary;
  DWORD error = temporary.Create(path);
  if (error == ERROR_SUCCESS) error = temporary.Write(bytes);
  if (error == ERROR_SUCCESS) error = temporary.MoveTo(path);
  return error;
}

}  // namespace varnelo
