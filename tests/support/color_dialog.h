// The system colour dialog as a user meets it, driven from outside the
// program that opened it: open it from 色 選 択, read and type its colour,
// define custom colours, look at its 16 custom-colour boxes, and close it by
// OK, Cancel or its close box. Windows test programs only.
#pragma once

#include "support/driver.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Control ids of the colour dialog (colordlg.h).
inline constexpr int kDialogRed = 706;     // COLOR_RED: edit box 0..255
inline constexpr int kDialogGreen = 707;   // COLOR_GREEN
inline constexpr int kDialogBlue = 708;    // COLOR_BLUE
inline constexpr int kDialogAdd = 712;     // COLOR_ADD: "Add to custom colours"
inline constexpr int kDialogDefine = 719;  // COLOR_MIX: "Define custom colours >>"
inline constexpr int kDialogCustom = 721;  // COLOR_CUSTOM1: the 2 x 8 custom-colour boxes

// Clicks 色 選 択 and waits for the dialog that the click opens; nullptr if
// none came.
HWND OpenColorDialog(Varnelo& app);

// The texts of the red, green and blue boxes.
std::array<std::wstring, 3> DialogColorTexts(HWND dialog);

// Types a colour into the red, green and blue boxes: what OK then confirms.
void TypeDialogColor(HWND dialog, COLORREF colour);

// Presses a button of the dialog; returns once the dialog has handled it.
void PressDialogButton(HWND dialog, int id);

// The colours on screen in the 16 custom-colour boxes, row by row, each
// sampled at the middle of its box.
std::vector<COLORREF> CustomColors(HWND dialog);

// CustomColors(dialog) once `drawn` holds for them, or as they are after
// `ms`: the dialog repaints its boxes a moment after it handled a button.
std::vector<COLORREF> CustomColorsOnceDrawn(
    HWND dialog, const std::function<bool(const std::vector<COLORREF>&)>& drawn, DWORD ms = 5000);

// Waits until `dialog` is gone and the command that opened it has finished.
bool WaitClosed(Varnelo& app, HWND dialog, DWORD ms = 10000);

// Chooses a colour as a user would: 色 選 択, type it, OK. False if the
// dialog did not come or did not go.
bool ChooseColor(Varnelo& app, COLORREF colour);

}  // namespace e2e
