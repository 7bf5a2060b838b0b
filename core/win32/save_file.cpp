#include "core/win32/save_file.h"

#include "base/decimal.h"
#include "core/file_names.h"
#include "core/win32/file_handle.h"

namespace varnelo {
namespace {

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

  // Creates a new file with a short name of its own in `folder` ("" for the
  // current folder), so that a target whose name is as long as a name may
  // be still leaves room for it; a name already taken is not reused.
  // Returns ERROR_SUCCESS or why it failed.
  DWORD Create(std::wstring_view folder) {
    constexpr unsigned kTries = 100;
    const std::wstring stem =
        std::wstring(folder) + L"~varnelo-" + Decimal<wchar_t>(GetCurrentProcessId()) + L"-";
    for (unsigned n = 0; n < kTries; ++n) {
      const std::wstring name = stem + Decimal<wchar_t>(n) + L".tmp";
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

// Why `path` must not be replaced as it stands, or ERROR_SUCCESS. Windows
// refuses to move over a read-only file but Wine does not, so that is
// checked here rather than left to MoveFileExW.
DWORD RefusedTarget(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;  // no such file yet
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return kErrorIsAFolder;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_FILE_READ_ONLY;
  return ERROR_SUCCESS;
}

}  // namespace

DWORD SaveFileAtomically(const std::wstring& path, const std::string& bytes) {
  DWORD error = RefusedFileName(path);
  if (error == ERROR_SUCCESS) error = RefusedTarget(path);
  TemporaryFile temporary;
  if (error == ERROR_SUCCESS) error = temporary.Create(FolderPart(path));
  if (error == ERROR_SUCCESS) error = temporary.Write(bytes);
  if (error == ERROR_SUCCESS) error = RefusedTarget(path);  // made read-only meanwhile?
  if (error == ERROR_SUCCESS) error = temporary.MoveTo(path);
  return error;
}

}  // namespace varnelo
