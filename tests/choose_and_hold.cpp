// Starts varnelo.exe, chooses a colour in its colour dialog as a user would,
// prints "ready" and keeps the window open until the file named on the
// command line exists; then presses 閉 じ る. scripts/screenshot-chosen.sh
// takes its picture in between. Runs under Wine in the script's prefix.
// Usage: choose_and_hold RED GREEN BLUE FLAG-FILE
#include "support/color_dialog.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: choose_and_hold RED GREEN BLUE FLAG-FILE\n");
    return 2;
  }
  const auto level = [](const char* text) { return static_cast<BYTE>(std::stoi(text) & 0xFF); };
  const COLORREF colour = RGB(level(argv[1]), level(argv[2]), level(argv[3]));
  const std::string flag = argv[4];

  e2e::Varnelo app;
  if (app.Pid() == 0 || app.WaitForMainWindow() == nullptr) {
    std::fprintf(stderr, "choose_and_hold: the Varnelo window did not appear\n");
    return 1;
  }
  if (!e2e::ChooseColor(app, colour)) {
    std::fprintf(stderr, "choose_and_hold: the colour dialog did not come or go\n");
    return 1;
  }
  const HWND selected = app.Control(varnelo::ids::ColorT1);
  if (e2e::InkOnceDrawn(selected, {colour}) != e2e::Ink{colour}) {
    std::fprintf(stderr, "choose_and_hold: the selected-colour sample does not show it\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);

  if (!e2e::Eventually([&] { return GetFileAttributesA(flag.c_str()) != INVALID_FILE_ATTRIBUTES; },
                       120000, 100)) {
    std::fprintf(stderr, "choose_and_hold: no %s within 120 s\n", flag.c_str());
    return 1;
  }
  app.Click(varnelo::ids::Command2);
  return app.WaitForExit(10000) ? 0 : 1;
}
