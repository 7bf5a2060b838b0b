// The window's own items at the top of its system menu (the caption's icon,
// or Alt+Space): 色を保存 and 元に戻す, then a separator, above the standard
// items, whose access keys (R, M, S, N, X, C) theirs (E, U) do not take.
#pragma once

#include <windows.h>

namespace varnelo {

// Their WM_SYSCOMMAND ids: the low four bits are Windows' own, and the
// system's commands start at 0xF000.
inline constexpr UINT kSaveColorsCommand = 0x0100;
inline constexpr UINT kUndoCommand = 0x0110;

// The command a WM_SYSCOMMAND's wParam names.
constexpr UINT SystemCommand(WPARAM wParam) { return static_cast<UINT>(wParam & 0xFFF0); }

// Puts the items into `window`'s system menu, 元に戻す greyed.
void AddSystemMenuItems(HWND window);

// Greys 元に戻す, or makes it choosable.
void EnableUndoItem(HWND window, bool enabled);

}  // namespace varnelo
