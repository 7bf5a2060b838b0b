// Varnelo: sets the colour in which MSN Messenger and Windows Messenger draw
// the user's own message text.
#include "app/win32_window.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  varnelo::MainWindow window(instance);
  return window.Run(showCommand);
}
