// The host build's ChooseColorA: records every request it is given and
// answers from a script, as a user at the real dialog would.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace fakecc {

struct Answer {
  BOOL confirmed = FALSE;  // what ChooseColorA returns
  COLORREF colour = 0;     // written to rgbResult when confirmed
  // Custom colours the user defines before closing (written to the buffer).
  std::array<COLORREF, 16> customColors{};
};

struct Request {
  CHOOSECOLORA record{};                      // as received
  std::array<COLORREF, 16> customColorsIn{};  // the buffer's contents on entry
};

// Queues answers for the next calls; a call with no answer left cancels.
void Script(std::vector<Answer> answers);
// Every path given to LoadLibraryExW, in order; with `missing`, comdlg32.dll
// is not in the system folder.
const std::vector<std::wstring>& LoadedLibraries();
void SetDialogLibraryMissing(bool missing);
const std::vector<Request>& Requests();
void Reset();

}  // namespace fakecc
