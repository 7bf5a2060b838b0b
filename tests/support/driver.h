// Drives the real varnelo.exe from outside, as a user would: starts it,
// finds its windows, clicks its buttons, reads what it shows on screen.
// Windows test programs only; they run under Wine in the test prefix, where
// HKEY_CURRENT_USER is the prefix's own (shared with the exe under test).
#pragma once

#include "app/win32/control_ids.h"
#include "support/from_outside.h"
#include "support/hive.h"

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace e2e {

// The rest of the test support, by the short names the end-to-end tests use.
using testing_support::Bytes;
using testing_support::FromLe32;
using testing_support::Hive;
using testing_support::Le32;
using testing_support::RawValue;
using testing_support::Require;
using testing_support::Tree;
using namespace testing_support::messenger;
namespace ids = varnelo::ids;

// The exe under test, and its console companion varnelo.com beside it, as
// Windows paths.
std::wstring ExePath();
std::wstring ComPath();

// The version the exe under test was built with: the project version in
// CMakeLists.txt, given to the test build too, in its four numbers.
struct ProjectVersion {
  unsigned major, minor, patch, tweak;
};
ProjectVersion BuiltVersion();
// What the window's version label shows for it ("v1.5.1" for 1.5.0.1).
std::wstring VersionLabel();
// The text of the version resource's FileVersion ("1.05.0001" for 1.5.0.1).
std::wstring VersionText();

// One running varnelo.exe; ended (if still running) when this goes.
class Varnelo {
 public:
  Varnelo();                                      // starts it; fails the test if it cannot
  explicit Varnelo(const std::wstring& exePath);  // starts another copy of it
  Varnelo(const Varnelo&) = delete;
  Varnelo& operator=(const Varnelo&) = delete;

  // The visible Form1 window of this process, or nullptr after `ms`.
  HWND WaitForMainWindow(DWORD ms = 20000);
  // A visible dialog (#32770: message box, colour dialog) of this process.
  HWND WaitForDialog(DWORD ms = 20000);
  // Whether Form1 of this process exists and is visible right now.
  bool MainWindowVisible() const;
  // Its exit code once it has ended, or nothing if it still runs after `ms`.
  std::optional<DWORD> WaitForExit(DWORD ms) const { return process_.WaitForExit(ms); }
  // Waits until the window answers again, then lets it finish painting.
  void Settle() const;

  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  // Presses 閉 じ る and expects the program to end at once, with exit code 0.
  void CloseWithButton();
  // Presses a button as a mouse click would; returns at once, so a handler
  // that opens a modal dialog does not block the test.
  void Click(int id) const;
  // Presses a button and returns once its handler has run; false if it had
  // not within `ms` (for example because it showed a message box). Not for
  // 色 選 択, whose handler waits for the user.
  bool PressAndWait(int id, DWORD ms = 30000) const { return e2e::PressAndWait(Control(id), ms); }

  // Chooses an item of the window's system menu as a keyboard user does
  // (another process cannot read the menu under Wine): the window to the
  // front, Alt+Space, then the item's access key (an upper-case letter).
  // False if the menu did not close. Wine closes it for a greyed item too,
  // without a command; a chosen item's command may still be running when
  // this returns. `drawnEnabled`, where given, gets for each item of the
  // open menu, top to bottom, whether it was drawn in the menu's text colour,
  // as an enabled item is (not the highlighted first one, nor a greyed one).
  [[nodiscard]] bool ChooseFromSystemMenu(char accessKey,
                                          std::vector<bool>* drawnEnabled = nullptr) const;

  DWORD Pid() const { return process_.Pid(); }

 private:
  Process process_;
  HWND main_ = nullptr;
};

// An end-to-end test on the test prefix's HKEY_CURRENT_USER, with no
// Messenger key in it when the test starts and none left when it ends.
class ClearedMessengerTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearMessenger(hive); }
  void TearDown() override { ClearMessenger(hive); }

  // Presses 設 定 and waits for its handler; false if it did not finish.
  // Expects "IM Color" under each key of `written` to hold `colour` (4 bytes
  // of REG_BINARY) and nothing else to differ from `before`; and, where
  // `notWritten` names keys, a warning box that names them, answered.
  [[nodiscard]] bool ApplyAndCheck(Varnelo& app, Tree before, COLORREF colour,
                                   const std::vector<std::string>& written,
                                   const std::vector<std::string>& notWritten = {}) const;

  Hive hive;
};

// Answers the message box that `app` shows next: checks that it names each
// of `keys` and shows the warning icon or none, presses OK and waits for the
// command that showed it. False if no box came or it did not go.
bool AnswerMessage(Varnelo& app, const std::vector<std::string>& keys, bool warning);

// Input as a user gives it: keys pressed in order and let go the other way
// round ({VK_MENU, VK_SPACE} is Alt+Space), to the window with the focus; the
// mouse moved to `x` (0 to 1 of its width) on the middle line of `window`.
void PressKeys(std::initializer_list<WORD> keys);
void MoveMouseTo(HWND window, double x);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// A file's bytes as they stand ("" where there is no file).
std::string FileBytes(const std::wstring& path);
std::vector<HWND> Children(HWND parent);

// Screen pixels of a window's client area (what is on screen now).
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> data;  // row by row
  COLORREF At(int x, int y) const { return data[static_cast<std::size_t>(y * width + x)]; }
};
Pixels CapturePixels(HWND hwnd);

using Ink = std::set<COLORREF>;

// A part of a capture: its background is the colour of its top-left pixel,
// its ink every other colour in it.
struct Area {
  const Pixels* pixels;
  RECT rect;

  COLORREF Background() const { return pixels->At(rect.left, rect.top); }
  Ink Colors() const;
  // The smallest rectangle holding every pixel that is not background.
  RECT InkBox() const;
  bool CornersAre(COLORREF colour) const;
};

// The colours a label's text is drawn in: the ink of its client area. Empty
// when the text is invisible.
Ink InkColors(HWND label);

// InkColors(label) once it equals `expected`, or as it is after `ms`:
// a repaint that is due may come a moment after the handler returned.
Ink InkOnceDrawn(HWND label, const Ink& expected, DWORD ms = 5000);

// The ink a label shows a colour in: white is drawn like the white box
// behind the selected and current colours and leaves none.
Ink InkOf(COLORREF colour);

}  // namespace e2e
