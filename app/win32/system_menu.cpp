#include "app/win32/system_menu.h"

namespace varnelo {

void AddSystemMenuItems(HWND window) {
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;  // no system menu: the items are simply not there
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, kSaveColorsCommand, L"色を保存(&E)...");
  InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING | MF_GRAYED, kUndoCommand, L"元に戻す(&U)");
  InsertMenuW(menu, 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

void EnableUndoItem(HWND window, bool enabled) {
  if (const HMENU menu = GetSystemMenu(window, FALSE)) {
    const UINT state = enabled ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, kUndoCommand, MF_BYCOMMAND | state);
  }
}

}  // namespace varnelo
