// The host build's ChooseColorA: reads each request the way the real dialog
// does, records the dialog the user would meet, and answers from a script, as
// a user at the real dialog would.
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

// A dialog as the user meets it.
struct Dialog {
  HWND owner = nullptr;                     // the window it is modal to
  COLORREF initial = 0;                     // the colour it opens on
  std::array<COLORREF, 16> customColors{};  // what its custom-colour boxes show
  // The plain dialog: the request asks for nothing but the colour to open on
  // (no Help button, hook or template; not opened full, nor kept from it).
  bool plain = false;
};

// Queues answers for the next calls; a call with no answer left cancels.
void Script(std::vector<Answer> answers);
// The dialogs shown so far. A request the real dialog refuses (a wrong
// structure size, no custom-colour buffer) shows none and returns FALSE.
const std::vector<Dialog>& Dialogs();
// Every path given to LoadLibraryExW, in order; with `missing`, comdlg32.dll
// is not in the system folder.
const std::vector<std::wstring>& LoadedLibraries();
void SetDialogLibraryMissing(bool missing);
void Reset();

}  // namespace fakecc
