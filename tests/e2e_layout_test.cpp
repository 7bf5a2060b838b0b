// Form1 as a user meets it, driven from outside under Wine: where every
// control stands at 96 and at 144 dots per inch, what it says, the colours
// and the stacking that the screen shows, the keyboard, and the version
// information that Explorer's Properties page reads from the program file.
#include "support/color_dialog.h"
#include "support/driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace e2e {
namespace {

constexpr char kDesktop[] = "Control Panel\\Desktop";
constexpr wchar_t kCopyright[] = L"Copyright (C) 2026 The Varnelo developers";
const std::wstring kVersionLabel = e2e::VersionLabel();

// Every control of Form1 with its place in client pixels at 96 dots per inch
// (left, top, width, height), its window class and its text once loaded.
struct ControlRow {
  const char* name;
  int id;
  const wchar_t* className;
  int left, top, width, height;
  const wchar_t* text;
};

const std::array<ControlRow, 12> kControls{{
    {"Command1", ids::Command1, L"Button", 152, 80, 65, 33, L"色 選 択"},
    {"Frame1", ids::Frame1, L"Button", 8, 64, 217, 97, L"プレビュー"},
    {"ColorT2", ids::ColorT2, L"Static", 24, 128, 185, 17, L"現在設定されている文字色"},
    {"ColorT1", ids::ColorT1, L"Static", 24, 88, 113, 17, L"選択された色"},
    {"Label4", ids::Label4, L"Static", 16, 120, 201, 33, L""},
    {"Label3", ids::Label3, L"Static", 16, 80, 129, 33, L""},
    {"Command3", ids::Command3, L"Button", 232, 72, 81, 49, L"設 定"},
    {"Command2", ids::Command2, L"Button", 232, 128, 81, 33, L"閉 じ る"},
    {"Label1", ids::Label1, L"Static", 8, 168, 313, 17, kCopyright},
    {"Label6", ids::Label6, L"Static", 280, 16, 41, 17, kVersionLabel.c_str()},
    {"Label5", ids::Label5, L"Static", 8, 40, 265, 17,
     L"※ 設定した後に開いたウィンドウから適用されます。"},
    {"Label2", ids::Label2, L"Static", 8, 8, 313, 25, L"Varnelo"},
}};

const ControlRow& Row(int id) {
  return *std::find_if(kControls.begin(), kControls.end(),
                       [id](const ControlRow& r) { return r.id == id; });
}

std::string NameOf(HWND hwnd) {
  const int id = GetDlgCtrlID(hwnd);
  for (const auto& row : kControls) {
    if (row.id == id) return row.name;
  }
  return hwnd == nullptr ? "nothing" : "window " + std::to_string(id);
}

// Sets the display's dots per inch for every program started while it lives
// (Wine takes it from LogPixels when a process starts) and puts back what
// was there before, so that later tests see the prefix as it was.
class DisplayDpi {
 public:
  explicit DisplayDpi(DWORD dpi) : saved_(hive_.GetRaw(kDesktop, "LogPixels")) {
    hive_.SetRaw(kDesktop, "LogPixels", REG_DWORD, Le32(dpi));
  }
  ~DisplayDpi() {
    if (saved_) {
      hive_.SetRaw(kDesktop, "LogPixels", saved_->type, saved_->data);
    } else {
      hive_.DeleteValue(kDesktop, "LogPixels");
    }
  }
  DisplayDpi(const DisplayDpi&) = delete;
  DisplayDpi& operator=(const DisplayDpi&) = delete;

 private:
  Hive hive_;
  std::optional<testing_support::RawValue> saved_;
};

// Where a control stands, in the client coordinates of its parent.
RECT PlaceInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") to (" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

DWORD ThreadOf(HWND hwnd) { return GetWindowThreadProcessId(hwnd, nullptr); }

HWND FocusOf(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(ThreadOf(main), &info)) return nullptr;
  return info.hwndFocus;
}

// Holds Shift down for the program's thread while it lives: the key state
// that the dialog manager asks for when it handles Tab.
class ShiftHeld {
 public:
  explicit ShiftHeld(DWORD thread) : thread_(thread) {
    attached_ = AttachThreadInput(GetCurrentThreadId(), thread_, TRUE) != FALSE;
    GetKeyboardState(saved_.data());
    std::array<BYTE, 256> keys = saved_;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys.data());
  }
  ~ShiftHeld() {
    SetKeyboardState(saved_.data());
    if (attached_) AttachThreadInput(GetCurrentThreadId(), thread_, FALSE);
  }
  ShiftHeld(const ShiftHeld&) = delete;
  ShiftHeld& operator=(const ShiftHeld&) = delete;

 private:
  DWORD thread_;
  bool attached_ = false;
  std::array<BYTE, 256> saved_{};
};

// Types one key at a control as the keyboard would: key down, its
// character, key up, all through the program's message queue.
void PostKey(HWND control, UINT key) {
  const auto scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(control, WM_KEYDOWN, key, scan | 1);
  const wchar_t character = key == VK_RETURN   ? L'\r'
                            : key == VK_TAB    ? L'\t'
                            : key == VK_SPACE  ? L' '
                            : key == VK_ESCAPE ? L'\x1b'
                                               : L'\0';
  if (character != L'\0') PostMessageW(control, WM_CHAR, character, scan | 1);
  PostMessageW(control, WM_KEYUP, key, scan | 1 | (1L << 30) | static_cast<LPARAM>(1u << 31));
}

// Types Tab (or Shift+Tab) at the focused control and waits until the focus
// has moved on; the control that has it then.
HWND Tab(HWND main, bool shift) {
  const HWND before = FocusOf(main);
  std::optional<ShiftHeld> held;
  if (shift) held.emplace(ThreadOf(main));
  PostKey(before, VK_TAB);
  e2e::Eventually([&] { return FocusOf(main) != before; });
  return FocusOf(main);
}

// A window seeded so that both preview labels keep the colours they are
// created with: an account key without a colour.
class MainWindowTest : public ClearedMessengerTest {
 protected:
  void SetUp() override {
    ClearedMessengerTest::SetUp();
    hive.CreateKey(Account("A"));
  }
};

// ---------------------------------------------------------------- layout

// The window as laid out, at the display's dots per inch: at 96 exactly the
// pixels of the layout, at 144 each of them times 1.5, within a pixel.
class LayoutTest : public MainWindowTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(LayoutTest, EveryControlStandsWhereItIsLaidOutAndSaysWhatItShould) {
  ASSERT_NE(GetACP(), 932u) << "the texts must not need the Japanese code page";
  const double scale = GetParam() / 96.0;
  const double slack = GetParam() == 96 ? 0.0 : 1.0;
  const DisplayDpi display(GetParam());
  Varnelo app;
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(e2e::WindowText(main), L"Varnelo");
  RECT client{};
  GetClientRect(main, &client);
  EXPECT_NEAR(client.right, 327 * scale, slack);
  EXPECT_NEAR(client.bottom, 189 * scale, slack);
  const auto style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_NE(style & WS_SYSMENU, 0u);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u)
      << "fixed border, no minimise or maximise button";

  EXPECT_EQ(e2e::Children(main).size(), kControls.size());
  for (const auto& row : kControls) {
    SCOPED_TRACE(row.name);
    const HWND control = app.Control(row.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), main);
    EXPECT_EQ(e2e::ClassName(control), row.className);
    EXPECT_EQ(e2e::WindowText(control), row.text);
    const RECT r = PlaceInParent(control);
    EXPECT_NEAR(r.left, row.left * scale, slack) << Describe(r);
    EXPECT_NEAR(r.top, row.top * scale, slack) << Describe(r);
    EXPECT_NEAR(r.right, (row.left + row.width) * scale, slack) << Describe(r);
    EXPECT_NEAR(r.bottom, (row.top + row.height) * scale, slack) << Describe(r);

    const auto controlStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const bool button =
        row.id == ids::Command1 || row.id == ids::Command2 || row.id == ids::Command3;
    EXPECT_EQ((controlStyle & WS_TABSTOP) != 0, button) << "only the buttons take the focus";
    if (button) {
      EXPECT_EQ(controlStyle & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON))
          << "no default button";
    }
  }

  EXPECT_TRUE(e2e::Eventually([&] { return FocusOf(main) == app.Control(ids::Command2); }))
      << "the focus starts on " << NameOf(FocusOf(main));
  HWND next = app.Control(ids::Command2);
  for (const int id : {ids::Command1, ids::Command3, ids::Command2}) {
    next = GetNextDlgTabItem(main, next, FALSE);
    EXPECT_EQ(next, app.Control(id))
        << "tab order: " << NameOf(next) << " where " << Row(id).name << " belongs";
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(DWORD{96}, DWORD{144}),
                         [](const ::testing::TestParamInfo<DWORD>& dpi) {
                           return "At" + std::to_string(dpi.param);
                         });

// ---------------------------------------------------------------- keyboard

TEST_F(MainWindowTest, FocusStartsOnCloseAndTabCyclesTheThreeButtons) {
  Varnelo app;
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(e2e::Eventually([&] { return FocusOf(main) == app.Control(ids::Command2); }))
      << "the focus starts on " << NameOf(FocusOf(main));

  struct Step {
    bool shift;
    int then;
  };
  const Step steps[] = {{false, ids::Command1}, {false, ids::Command3}, {false, ids::Command2},
                        {true, ids::Command3},  {true, ids::Command1},  {true, ids::Command2}};
  for (const Step& step : steps) {
    const HWND focus = Tab(main, step.shift);
    ASSERT_EQ(focus, app.Control(step.then)) << (step.shift ? "Shift+Tab" : "Tab") << " went to "
                                             << NameOf(focus) << ", not " << Row(step.then).name;
  }
}

// Enter and Space press the button that has the focus, and only that one.
TEST_F(MainWindowTest, EnterAndSpacePressTheFocusedButton) {
  for (const UINT key : {UINT{VK_RETURN}, UINT{VK_SPACE}}) {
    for (const int button : {ids::Command2, ids::Command1, ids::Command3}) {
      SCOPED_TRACE(std::string(key == VK_RETURN ? "Enter" : "Space") + " on " + Row(button).name);
      // A colour stored as a number: pressing 設 定 rewrites it as binary.
      hive.SetRaw(kMsn, "IM Color", REG_DWORD, Le32(0x00FF00));
      Varnelo app;
      const HWND main = app.WaitForMainWindow();
      ASSERT_NE(main, nullptr);
      ASSERT_TRUE(e2e::Eventually([&] { return FocusOf(main) == app.Control(ids::Command2); }));
      while (FocusOf(main) != app.Control(button)) {
        ASSERT_NE(Tab(main, false), app.Control(ids::Command2)) << "went round without reaching it";
      }

      PostKey(app.Control(button), key);
      if (button == ids::Command2) {
        EXPECT_EQ(app.WaitForExit(10000), 0u) << "閉 じ る did not end the program, without error";
      } else if (button == ids::Command1) {
        const HWND dialog = app.WaitForDialog();
        ASSERT_NE(dialog, nullptr) << "色 選 択 opened no colour dialog";
        e2e::PressDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(e2e::WaitClosed(app, dialog));
        // Back from the dialog, the keyboard goes on where it was.
        EXPECT_TRUE(e2e::Eventually([&] { return FocusOf(main) == app.Control(ids::Command1); }))
            << "after the dialog the focus is on " << NameOf(FocusOf(main));
      } else {
        EXPECT_TRUE(e2e::Eventually([&] {
          const auto value = hive.GetRaw(kMsn, "IM Color");
          return value && value->type == REG_BINARY;
        })) << "設 定 did not write";
        EXPECT_EQ(app.WaitForDialog(0), nullptr);
      }
    }
  }
}

TEST_F(MainWindowTest, EscPressesNothing) {
  hive.SetRaw(kMsn, "IM Color", REG_DWORD, Le32(0x00FF00));
  const Tree before = hive.Snapshot();
  Varnelo app;
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(e2e::Eventually([&] { return FocusOf(main) == app.Control(ids::Command2); }));
  // Esc at each button in turn; the Tab typed after it shows that the Esc
  // has been handled (keys are handled in the order typed).
  for (const int button : {ids::Command2, ids::Command1, ids::Command3}) {
    SCOPED_TRACE(std::string("Esc on ") + Row(button).name);
    ASSERT_EQ(FocusOf(main), app.Control(button));
    PostKey(app.Control(button), VK_ESCAPE);
    Tab(main, false);
    EXPECT_FALSE(app.WaitForExit(0)) << "the program ended";
    EXPECT_EQ(app.WaitForDialog(0), nullptr) << "a dialog opened";
  }
  EXPECT_EQ(FocusOf(main), app.Control(ids::Command2));
  EXPECT_TRUE(app.MainWindowVisible());
  EXPECT_EQ(hive.ChangesSince(before), "") << "nothing was written";
}

// ---------------------------------------------------------------- on screen

// Where a control's own text is drawn: its rectangle, less the part that a
// control in front of it covers.
RECT OwnArea(const Varnelo& app, int id) {
  RECT rect = PlaceInParent(app.Control(id));
  if (id == ids::Label2) rect.right = PlaceInParent(app.Control(ids::Label6)).left;
  return rect;
}

void RepaintAlone(HWND control) {
  InvalidateRect(control, nullptr, TRUE);
  e2e::Eventually([&] { return GetUpdateRect(control, nullptr, FALSE) == FALSE; });
}

std::string Hex(COLORREF colour) {  // as 0xBBGGRR
  char text[16];
  std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(colour));
  return text;
}

std::string Hex(const std::set<COLORREF>& colours) {
  std::string text = "{";
  for (const COLORREF c : colours) text += " " + Hex(c);
  return text + " }";
}

// Whether `ink` is text drawn in `colour` on `background`: the colour
// itself, and where the text is smoothed, shades between the two.
::testing::AssertionResult DrawnIn(const std::set<COLORREF>& ink, COLORREF background,
                                   std::optional<COLORREF> colour) {
  if (!colour) {
    if (ink.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "text visible in " << Hex(ink);
  }
  if (!ink.contains(*colour)) {
    return ::testing::AssertionFailure() << "no pixel in " << Hex(*colour) << ": " << Hex(ink);
  }
  const auto channels = [](COLORREF c) {
    return std::array<int, 3>{GetRValue(c), GetGValue(c), GetBValue(c)};
  };
  const auto bg = channels(background), fg = channels(*colour);
  std::size_t widest = 0;
  for (std::size_t i = 1; i < 3; ++i) {
    if (std::abs(fg[i] - bg[i]) > std::abs(fg[widest] - bg[widest])) widest = i;
  }
  for (const COLORREF pixel : ink) {
    const auto p = channels(pixel);
    const double t = double(p[widest] - bg[widest]) / double(fg[widest] - bg[widest]);
    bool between = t > 0.0 && t <= 1.0;
    for (std::size_t i = 0; i < 3; ++i) {
      between = between && std::abs(double(p[i]) - (bg[i] + t * (fg[i] - bg[i]))) <= 4.0;
    }
    if (!between) {
      return ::testing::AssertionFailure() << Hex(pixel) << " is no shade of " << Hex(*colour)
                                           << " on " << Hex(background) << ": " << Hex(ink);
    }
  }
  return ::testing::AssertionSuccess();
}

enum class Align { Left, Centre, Any };

struct Look {
  int id;
  COLORREF background;
  std::optional<COLORREF> ink;  // the text's colour; none where it cannot be seen
  Align align;
};

TEST_F(MainWindowTest, LabelsAreDrawnInTheirColorsAndInFrontOfWhatTheyOverlap) {
  Varnelo app;
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), window = GetSysColor(COLOR_WINDOW);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
  ASSERT_NE(face, window) << "the colour scheme must tell the boxes from the face";

  const std::vector<Look> looks{
      {ids::Label2, face, RGB(0, 0, 128), Align::Left}, {ids::Label6, face, text, Align::Left},
      {ids::Label5, face, kRed, Align::Left},           {ids::Label1, face, grey, Align::Centre},
      {ids::Label3, window, std::nullopt, Align::Any},   // ColorT1 in front: invisible text
      {ids::ColorT1, window, std::nullopt, Align::Any},  // window colour on window colour
      {ids::Label4, window, text, Align::Any},           // ColorT2 in front
      {ids::ColorT2, window, text, Align::Centre},
  };
  const auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    const e2e::Pixels pixels = e2e::CapturePixels(main);
    ASSERT_EQ(pixels.width, 327);
    for (const Look& look : looks) {
      SCOPED_TRACE(Row(look.id).name);
      const e2e::Area area{&pixels, OwnArea(app, look.id)};
      EXPECT_TRUE(area.CornersAre(look.background))
          << "filled with " << Hex(area.Background()) << ", not " << Hex(look.background);
      EXPECT_TRUE(DrawnIn(area.Colors(), look.background, look.ink));
      if (!look.ink || look.align == Align::Any) continue;
      const RECT box = area.InkBox();
      if (look.align == Align::Left) {
        EXPECT_LE(box.left - area.rect.left, 3) << "left-aligned";
      } else {
        EXPECT_NEAR(box.left - area.rect.left, area.rect.right - box.right, 2) << "centred";
      }
    }
  };
  check("as shown");

  // A control that repaints alone stays behind what is in front of it.
  for (const int behind : {ids::Label2, ids::Label4, ids::Label3, ids::Frame1}) {
    RepaintAlone(app.Control(behind));
  }
  app.Settle();
  check("after the controls behind repainted");
  const e2e::Pixels pixels = e2e::CapturePixels(main);
  const e2e::Area command1{&pixels, PlaceInParent(app.Control(ids::Command1))};
  EXPECT_TRUE(command1.Colors().contains(text)) << "色 選 択 in front of the frame";

  // A chosen colour shows the selected-colour text, in front of its box.
  ASSERT_TRUE(e2e::ChooseColor(app, kRed));
  EXPECT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT1), {kRed}), e2e::Ink{kRed});
  RepaintAlone(app.Control(ids::Label3));
  app.Settle();
  const e2e::Pixels after = e2e::CapturePixels(main);
  const e2e::Area colorT1{&after, PlaceInParent(app.Control(ids::ColorT1))};
  EXPECT_EQ(colorT1.Colors(), e2e::Ink{kRed}) << "in front of its box";
  const RECT box = colorT1.InkBox();
  EXPECT_NEAR(box.left - colorT1.rect.left, colorT1.rect.right - box.right, 2) << "centred";
}

// Fonts follow the display: every text takes 1.5 times the room at 144
// dots per inch that it takes at 96.
TEST_F(MainWindowTest, TextsGrowWithTheDisplay) {
  const int labels[] = {ids::Label2, ids::Label6, ids::Label5, ids::Label1, ids::ColorT2};
  std::map<int, RECT> inkAt96;
  for (const DWORD dpi : {DWORD{96}, DWORD{144}}) {
    SCOPED_TRACE(std::to_string(dpi) + " dpi");
    const DisplayDpi display(dpi);
    Varnelo app;
    const HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const e2e::Pixels pixels = e2e::CapturePixels(main);
    for (const int id : labels) {
      SCOPED_TRACE(Row(id).name);
      const e2e::Area area{&pixels, OwnArea(app, id)};
      const RECT ink = area.InkBox();
      ASSERT_LT(ink.left, ink.right) << "no text";
      if (dpi == 96) {
        inkAt96[id] = ink;
        continue;
      }
      const RECT& small = inkAt96.at(id);
      const double wider = double(ink.right - ink.left) / double(small.right - small.left);
      const double taller = double(ink.bottom - ink.top) / double(small.bottom - small.top);
      EXPECT_NEAR(wider, 1.5, 0.15) << "text " << Describe(small) << " became " << Describe(ink);
      EXPECT_NEAR(taller, 1.5, 0.15) << "text " << Describe(small) << " became " << Describe(ink);
    }
  }
}

// ---------------------------------------------------------------- DPI change

// What a window shows that a start at its DPI must show too: where it and
// each control stand, the size of its client area, and every pixel of it.
struct Picture {
  RECT window{};
  std::string places;
  std::vector<COLORREF> pixels;
};

Picture Take(const Varnelo& app) {
  Picture picture;
  GetWindowRect(app.Main(), &picture.window);
  const e2e::Pixels client = e2e::CapturePixels(app.Main());
  picture.places = "corner " + std::to_string(picture.window.left) + ", " +
                   std::to_string(picture.window.top) + ", client " + std::to_string(client.width) +
                   " x " + std::to_string(client.height);
  for (const auto& row : kControls) {
    picture.places +=
        std::string("\n") + row.name + " " + Describe(PlaceInParent(app.Control(row.id)));
  }
  picture.pixels = client.data;
  return picture;
}

// Sends `message` with an lParam that points at a copy of `value` in the
// program's own memory (a pointer into this process means nothing there);
// gives back what the program left there, or nothing if that failed.
template <typename T>
std::optional<T> SendPointing(const Varnelo& app, UINT message, WPARAM wParam, T value) {
  const e2e::OwnedHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, app.Pid()));
  void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
  const bool done =
      remote != nullptr && WriteProcessMemory(process.get(), remote, &value, sizeof(T), nullptr) &&
      e2e::SendWaiting(app.Main(), message, wParam, reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(process.get(), remote, &value, sizeof(T), nullptr);
  if (remote != nullptr) VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return done ? std::optional<T>(value) : std::nullopt;
}

// A monitor of another scale: Windows asks the size the window wants there
// (WM_GETDPISCALEDSIZE), then gives the new DPI and the rectangle to take
// (WM_DPICHANGED). Wine sends neither; the test sends both, offering what a
// start at the new DPI got. The window must then be that start's, control by
// control and pixel by pixel, samples included. (Wine keeps the frame of the
// DPI the program started with: the client area, not the frame, must match.)
TEST_F(MainWindowTest, AfterADpiChangeTheWindowIsWhatAStartAtTheNewDpiIs) {
  hive.SetColor(kMsn, kGreen);
  struct Change {
    DWORD from, to;
  };
  for (const Change change : {Change{96, 144}, Change{144, 96}}) {
    SCOPED_TRACE(std::to_string(change.from) + " to " + std::to_string(change.to) + " dpi");
    Picture started;
    {
      const DisplayDpi display(change.to);
      Varnelo app;
      ASSERT_NE(app.WaitForMainWindow(), nullptr);
      ASSERT_TRUE(e2e::ChooseColor(app, kRed));
      app.Settle();
      started = Take(app);
    }
    const DisplayDpi display(change.from);
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    const Tree before = hive.Snapshot();  // after Wine has noted the DPI it started with
    ASSERT_TRUE(e2e::ChooseColor(app, kRed));

    const auto wanted = SendPointing(app, 0x02E4, change.to, SIZE{});  // WM_GETDPISCALEDSIZE
    ASSERT_TRUE(wanted.has_value());
    const RECT& offer = started.window;
    EXPECT_EQ(Describe({0, 0, wanted->cx, wanted->cy}),
              Describe({0, 0, offer.right - offer.left, offer.bottom - offer.top}));
    ASSERT_TRUE(SendPointing(app, 0x02E0, MAKEWPARAM(change.to, change.to), offer));
    app.Settle();
    const Picture changed = Take(app);

    EXPECT_EQ(changed.places, started.places);
    EXPECT_TRUE(changed.pixels == started.pixels) << "client area unlike a start at the new DPI";
    EXPECT_EQ(hive.ChangesSince(before), "") << "nothing written";
  }
}

// ---------------------------------------------------------------- program file

class VersionInfo {
 public:
  explicit VersionInfo(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return;
    block_.resize(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block_.data())) block_.clear();
  }
  bool Loaded() const { return !block_.empty(); }

  // The value at `path` and its length as VerQueryValueW reports it.
  std::pair<const void*, UINT> Query(const std::wstring& path) const {
    void* value = nullptr;
    UINT length = 0;
    std::wstring query = path;
    if (!VerQueryValueW(block_.data(), query.data(), &value, &length)) return {nullptr, 0};
    return {value, length};
  }
  std::optional<std::wstring> String(const std::wstring& name) const {
    const auto [value, length] = Query(L"\\StringFileInfo\\041104B0\\" + name);
    if (value == nullptr) return std::nullopt;
    return std::wstring(static_cast<const wchar_t*>(value));
  }

 private:
  std::vector<BYTE> block_;
};

TEST(ProgramFileTest, VersionInformationReadsAsTheProgramsPropertiesShowIt) {
  ASSERT_NE(GetACP(), 932u) << "the strings must come through in any code page";
  const VersionInfo info(e2e::ExePath());
  ASSERT_TRUE(info.Loaded()) << "no version information in " << e2e::Narrow(e2e::ExePath());

  const auto [fixedValue, fixedLength] = info.Query(L"\\");
  ASSERT_NE(fixedValue, nullptr);
  ASSERT_GE(fixedLength, sizeof(VS_FIXEDFILEINFO));
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixedValue);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  const e2e::ProjectVersion version = e2e::BuiltVersion();
  EXPECT_EQ(fixed.dwFileVersionMS, version.major << 16 | version.minor);
  EXPECT_EQ(fixed.dwFileVersionLS, version.patch << 16 | version.tweak);
  EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
  EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
  EXPECT_EQ(fixed.dwFileOS, 4u) << "32-bit Windows";
  EXPECT_EQ(fixed.dwFileType, 1u) << "application";

  const auto [translation, translationLength] = info.Query(L"\\VarFileInfo\\Translation");
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(translationLength, 4u) << "one language";
  EXPECT_EQ(static_cast<const WORD*>(translation)[0], 0x0411) << "Japanese";
  EXPECT_EQ(static_cast<const WORD*>(translation)[1], 1200) << "Unicode";

  // Task Manager shows the description as a name: no closing 。.
  const std::wstring description = L"MSN Messenger / Windows Messenger の文字色カスタマイズツール";
  const std::pair<const wchar_t*, std::optional<std::wstring>> fields[] = {
      {L"FileVersion", e2e::VersionText()},
      {L"ProductVersion", e2e::VersionText()},
      {L"ProductName", L"Varnelo"},
      {L"LegalTrademarks", std::nullopt},  // the name is no trademark
      {L"FileDescription", description},
      {L"Comments", description},
      {L"CompanyName", L"The Varnelo developers"},
      {L"LegalCopyright", kCopyright},
      {L"InternalName", L"varnelo"},
      {L"OriginalFilename", L"varnelo.exe"},
  };
  for (const auto& [name, expected] : fields) {
    EXPECT_EQ(info.String(name), expected) << e2e::Narrow(name);
  }
}

// The program file's icon: one image, 32 x 32 pixels in 16 colours.
TEST(ProgramFileTest, CarriesItsIcon) {
  const e2e::LoadedModule loaded(
      LoadLibraryExW(e2e::ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  const HMODULE file = loaded.get();
  ASSERT_NE(file, nullptr);
  const HRSRC group =
      FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr) << "no icon group 1";
  ASSERT_GE(SizeofResource(file, group), 6u + 14u);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(file, group)));
  const auto word = [](const BYTE* at) { return static_cast<unsigned>(at[0] | at[1] << 8); };
  EXPECT_EQ(word(directory + 2), 1u) << "an icon";
  ASSERT_EQ(word(directory + 4), 1u) << "one image";
  const BYTE* entry = directory + 6;  // width, height, colours, reserved, planes, bits, size, id
  EXPECT_EQ(entry[0], 32);
  EXPECT_EQ(entry[1], 32);
  EXPECT_EQ(entry[2], 16) << "colours";
  EXPECT_EQ(word(entry + 6), 4u) << "bits a pixel";
  const HRSRC image =
      FindResourceW(file, MAKEINTRESOURCEW(word(entry + 12)), MAKEINTRESOURCEW(3));  // RT_ICON
  ASSERT_NE(image, nullptr);
  const auto* header =
      static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, image)));
  EXPECT_EQ(header->biWidth, 32);
  EXPECT_EQ(header->biHeight, 64) << "image and mask";
  EXPECT_EQ(header->biBitCount, 4);
}

// The colours on screen in `area`.
std::set<COLORREF> ScreenColors(const RECT& area) {
  std::set<COLORREF> colours;
  const e2e::ScreenDc screen(GetDC(nullptr));
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) colours.insert(GetPixel(screen.get(), x, y));
  }
  return colours;
}

// What the running window takes from the program file: its icon, the
// copyright line of its version information, the current common controls
// that its manifest asks for.
TEST_F(MainWindowTest, TheWindowShowsWhatTheProgramFileCarries) {
  Varnelo app;
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // The caption shows the icon: its pure red, blue and green lines stand
  // out from the caption's own colours.
  RECT frame{}, client{};
  GetWindowRect(main, &frame);
  GetClientRect(main, &client);
  MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const std::set<COLORREF> caption =
      ScreenColors({frame.left, frame.top, frame.left + 40, client.top});
  for (const COLORREF line : {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 128, 0)}) {
    EXPECT_TRUE(caption.contains(line))
        << "no " << Hex(line) << " in the caption: " << Hex(caption);
  }
  const VersionInfo info(e2e::ExePath());
  EXPECT_EQ(e2e::WindowText(app.Control(ids::Label1)), info.String(L"LegalCopyright"));

  const e2e::OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, app.Pid()));
  ASSERT_NE(snapshot.get(), INVALID_HANDLE_VALUE);
  MODULEENTRY32W module{};
  module.dwSize = sizeof(module);
  std::wstring commonControls;
  for (BOOL more = Module32FirstW(snapshot.get(), &module); more;
       more = Module32NextW(snapshot.get(), &module)) {
    if (lstrcmpiW(module.szModule, L"comctl32.dll") == 0) commonControls = module.szExePath;
  }
  CharLowerW(commonControls.data());
  EXPECT_NE(commonControls.find(L"common-controls"), std::wstring::npos)
      << e2e::Narrow(commonControls);
  EXPECT_NE(commonControls.find(L"_6.0."), std::wstring::npos) << e2e::Narrow(commonControls);
}

}  // namespace
}  // namespace e2e
