// Varnelo: sets the colour in which MSN Messenger and Windows Messenger draw
// the user's own message text.
#include "app/main_window.h"

#include <windows.h>

#include <cstdlib>

// Every failure inside a handler is caught at the window's dispatch and
// reported there, so nothing reaches std::terminate but a bug. libstdc++'s
// default terminate handler would print a demangled type name to a console
// this program does not have, and brings in 46 KB of demangler to do it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  varnelo::MainWindow window(instance);
  return window.Run(showCommand);
}
