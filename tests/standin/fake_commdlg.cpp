#include "fake_commdlg.h"

#include <cwchar>
#include <deque>
#include <string_view>

namespace {

struct Dialog {
  std::deque<fakecc::Answer> script;
  std::vector<fakecc::Request> requests;
  std::vector<std::wstring> loaded;
  bool libraryMissing = false;
};

constexpr std::wstring_view kSystemFolder = L"C:\\WINDOWS\\system32";
HINSTANCE__* const kComdlg32 = reinterpret_cast<HINSTANCE__*>(std::uintptr_t{0x7E000000});

Dialog& State() {
  static Dialog dialog;
  return dialog;
}

}  // namespace

namespace fakecc {

void Script(std::vector<Answer> answers) { State().script.assign(answers.begin(), answers.end()); }
const std::vector<Request>& Requests() { return State().requests; }
void Reset() { State() = Dialog{}; }
const std::vector<std::wstring>& LoadedLibraries() { return State().loaded; }
void SetDialogLibraryMissing(bool missing) { State().libraryMissing = missing; }

}  // namespace fakecc

BOOL ChooseColorA(LPCHOOSECOLORA request) {
  auto& state = State();
  fakecc::Request seen{*request, {}};
  if (request->lpCustColors != nullptr) {
    for (std::size_t i = 0; i < seen.customColorsIn.size(); ++i) {
      seen.customColorsIn[i] = request->lpCustColors[i];
    }
  }
  state.requests.push_back(seen);
  if (state.script.empty()) return FALSE;
  const fakecc::Answer answer = state.script.front();
  state.script.pop_front();
  if (request->lpCustColors != nullptr) {
    for (std::size_t i = 0; i < answer.customColors.size(); ++i) {
      request->lpCustColors[i] = answer.customColors[i];
    }
  }
  if (answer.confirmed != FALSE) request->rgbResult = answer.colour;
  return answer.confirmed;
}

UINT GetSystemDirectoryW(wchar_t* buffer, UINT size) {
  const auto length = static_cast<UINT>(kSystemFolder.size());
  if (size <= length) return length + 1;
  std::wmemcpy(buffer, kSystemFolder.data(), length);
  buffer[length] = L'\0';
  return length;
}

HMODULE LoadLibraryExW(const wchar_t* path, HANDLE, DWORD) {
  State().loaded.emplace_back(path);
  const bool isDialogLibrary =
      std::wstring(path) == std::wstring(kSystemFolder) + L"\\comdlg32.dll";
  return isDialogLibrary && !State().libraryMissing ? kComdlg32 : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (module != kComdlg32 || std::string_view(name) != "ChooseColorA") return nullptr;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&ChooseColorA));
}
