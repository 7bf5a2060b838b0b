#include "fake_commdlg.h"

#include <algorithm>
#include <cwchar>
#include <deque>
#include <string_view>

namespace {

struct State {
  std::deque<fakecc::Answer> script;
  std::vector<fakecc::Dialog> dialogs;
  std::vector<std::wstring> loaded;
  bool libraryMissing = false;
};

constexpr std::wstring_view kSystemFolder = L"C:\\WINDOWS\\system32";
HINSTANCE__* const kComdlg32 = reinterpret_cast<HINSTANCE__*>(std::uintptr_t{0x7E000000});

State& Current() {
  static State state;
  return state;
}

}  // namespace

namespace fakecc {

void Script(std::vector<Answer> answers) {
  Current().script.assign(answers.begin(), answers.end());
}
const std::vector<Dialog>& Dialogs() { return Current().dialogs; }
void Reset() { Current() = State{}; }
const std::vector<std::wstring>& LoadedLibraries() { return Current().loaded; }
void SetDialogLibraryMissing(bool missing) { Current().libraryMissing = missing; }

}  // namespace fakecc

BOOL ChooseColorA(LPCHOOSECOLORA request) {
  auto& state = Current();
  if (request->lStructSize != sizeof(CHOOSECOLORA) || request->lpCustColors == nullptr) {
    return FALSE;
  }
  fakecc::Dialog shown;
  shown.owner = request->hwndOwner;
  shown.initial = (request->Flags & CC_RGBINIT) != 0 ? request->rgbResult : 0;
  std::copy_n(request->lpCustColors, shown.customColors.size(), shown.customColors.begin());
  shown.plain = (request->Flags & ~CC_RGBINIT) == 0;
  state.dialogs.push_back(shown);

  if (state.script.empty()) return FALSE;
  const fakecc::Answer answer = state.script.front();
  state.script.pop_front();
  std::copy(answer.customColors.begin(), answer.customColors.end(), request->lpCustColors);
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
  Current().loaded.emplace_back(path);
  const bool isDialogLibrary =
      std::wstring(path) == std::wstring(kSystemFolder) + L"\\comdlg32.dll";
  return isDialogLibrary && !Current().libraryMissing ? kComdlg32 : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (module != kComdlg32 || std::string_view(name) != "ChooseColorA") return nullptr;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&ChooseColorA));
}
