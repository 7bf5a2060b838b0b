#include "core/win32/save_file.h"

#include "base/decimal.h"
#include "core/file_names.h"
#include "core/win32/file_handle.h"

#include <string_view>

namespace varnelo {
namespace {

constexpr std::wstring_view kTemporaryPrefix = L"~varnelo-", kTemporarySuffix = L".tmp";

// The temporary file, deleted when this goes unless it was moved into place.
// It is open from its creation until it is in place, and shared with no
// one but a rename: that is how a later save tells it from a leftover.
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
    const std::wstring stem = std::wstring(folder) + std::wstring(kTemporaryPrefix) +
                              Decimal<wchar_t>(GetCurrentProcessId()) + L"-";
    for (unsigned n = 0; n < kTries; ++n) {
      const std::wstring name = stem + Decimal<wchar_t>(n) + std::wstring(kTemporarySuffix);
      const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

  // Puts the file, still open, in place of `path`, then closes it; from then
  // on it is no longer deleted.
  DWORD MoveTo(const std::wstring& path) {
    if (MoveFileExW(path_.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE) {
      return GetLastError();
    }
    file_.reset();
    path_.clear();
    return ERROR_SUCCESS;
  }

 private:
  FileHandle file_;
  std::wstring path_;
};

// True for "~varnelo-PID-N.tmp", the name TemporaryFile gives.
bool IsTemporaryName(std::wstring_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(kTemporarySuffix.size());
  const std::size_t dash = name.find(L'-');
  const auto digits = [](std::wstring_view part) {
    return !part.empty() && part.find_first_not_of(L"0123456789") == std::wstring_view::npos;
  };
  return dash != std::wstring_view::npos && digits(name.substr(0, dash)) &&
         digits(name.substr(dash + 1));
}

inline void CloseSearch(HANDLE search) { FindClose(search); }
using SearchHandle = UniqueHandle<HANDLE, CloseSearch>;

// Deletes the temporary files that saves into `folder` left when they were
// ended in the middle. One that a running save still holds cannot be opened
// without sharing, and stays; the number in its name is not trusted, as a
// process of the same number may run now.
void RemoveLeftovers(std::wstring_view folder) {
  WIN32_FIND_DATAW found{};
  const std::wstring pattern =
      std::wstring(folder) + std::wstring(kTemporaryPrefix) + L"*" + std::wstring(kTemporarySuffix);
  const HANDLE first = FindFirstFileW(pattern.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return;
  const SearchHandle search(first);
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !IsTemporaryName(found.cFileName)) {
      continue;
    }
    const std::wstring path = std::wstring(folder) + found.cFileName;
    const HANDLE leftover = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (leftover != INVALID_HANDLE_VALUE) CloseHandle(leftover);  // and so deleted
  } while (FindNextFileW(search.get(), &found) != FALSE);
}

// True under Wine, whose file names are the Linux file system's.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

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
  // Wine would create the temporary file, then move it onto the name cut to
  // what the disk holds, replacing another file: refused first.
  DWORD error = UnderWine() && Utf8Length(LastPathPart(path)) > kMaxFileNameLength
                    ? kErrorNameTooLongOnDisk
                    : RefusedTarget(path);
  if (error == ERROR_SUCCESS) RemoveLeftovers(FolderPart(path));
  TemporaryFile temporary;
  if (error == ERROR_SUCCESS) error = temporary.Create(FolderPart(path));
  if (error == ERROR_SUCCESS) error = temporary.Write(bytes);
  if (error == ERROR_SUCCESS) error = RefusedTarget(path);  // made read-only meanwhile?
  if (error == ERROR_SUCCESS) error = temporary.MoveTo(path);
  return error;
}

}  // namespace varnelo
