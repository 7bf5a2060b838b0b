// What a screen reader reads of the real varnelo.exe under Wine, from another
// process as it does: each sample's value and description and each button's
// name through the window's own answer to WM_GETOBJECT
// (AccessibleObjectFromWindow, OBJID_CLIENT), after start-up, after a colour
// is chosen in the real dialog and after 設 定; and the value changes that an
// out-of-context WinEvent hook sees.
#include "support/color_dialog.h"
#include "support/driver.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <map>
#include <optional>

namespace e2e {
namespace {

// One reference to a COM object of the reader's side, given back once.
template <typename Interface>
struct Held {
  Interface* p = nullptr;
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (p != nullptr) p->Release();
  }
};

// A BSTR the reader was given, freed once.
struct Text {
  BSTR b = nullptr;
  Text() = default;
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { SysFreeString(b); }
  std::wstring get() const { return b != nullptr ? std::wstring(b) : L""; }
};

// What a screen reader has of one control.
struct Heard {
  std::wstring name, value, description;
  bool operator==(const Heard&) const = default;
};

void PrintTo(const Heard& heard, std::ostream* out) {
  *out << "{name \"" << Narrow(heard.name) << "\", value \"" << Narrow(heard.value)
       << "\", description \"" << Narrow(heard.description) << "\"}";
}

// The control's client object, as MSAA gives it to another process.
std::optional<Heard> Hear(HWND control) {
  Held<IAccessible> object;
  // __uuidof, not IID_IAccessible: MinGW's oleacc import library gives
  // that name to an import thunk, not to the GUID.
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object.p)))) {
    return std::nullopt;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  Text name, value, description;
  object.p->get_accName(self, &name.b);
  object.p->get_accValue(self, &value.b);
  object.p->get_accDescription(self, &description.b);
  return Heard{name.get(), value.get(), description.get()};
}

// Moves the mouse to `x` (0 to 1 of its width) on the middle line of `control`.
void MoveMouseTo(HWND control, double x) {
  RECT rect{};
  GetWindowRect(control, &rect);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(rect.left + static_cast<int>((rect.right - rect.left) * x), 65536, screenWidth);
  input.mi.dy = MulDiv((rect.top + rect.bottom) / 2, 65536, screenHeight);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

// The text of the tooltip that the program shows with the mouse resting on
// `control`, or "" when none shows within a few seconds. The mouse is moved
// off it again.
std::wstring TipOver(DWORD pid, HWND control) {
  const HWND tip = SampleUntil(
      [&] {
        MoveMouseTo(control, 0.4);
        Sleep(100);
        MoveMouseTo(control, 0.6);
        return WaitForTopLevel(pid, TOOLTIPS_CLASSW, 1500);
      },
      [](HWND found) { return found != nullptr; }, 4000);
  std::wstring text;
  if (tip != nullptr) {
    wchar_t buffer[256] = {};
    SendWaiting(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    text = buffer;
  }
  SetCursorPos(0, 0);
  if (tip != nullptr) Eventually([&] { return !IsWindowVisible(tip); }, 3000);
  return text;
}

// The controls whose value changed, as EVENT_OBJECT_VALUECHANGE told an
// out-of-context hook on the program's process. The hook's thread (this
// test's) is told while it takes its messages: Pump.
class ValueChanges {
 public:
  explicit ValueChanges(DWORD pid)
      : hook_(SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, Note,
                              pid, 0, WINEVENT_OUTOFCONTEXT)) {
    seen_.clear();
  }
  ValueChanges(const ValueChanges&) = delete;
  ValueChanges& operator=(const ValueChanges&) = delete;
  ~ValueChanges() {
    if (hook_ != nullptr) UnhookWinEvent(hook_);
  }
  bool Hooked() const { return hook_ != nullptr; }

  // The client objects among `watched` that changed since the last call,
  // once they are `expected` or after `ms`.
  std::set<HWND> Since(const std::set<HWND>& watched, const std::set<HWND>& expected,
                       DWORD ms = 3000) {
    const auto changed = SampleUntil(
        [&] {
          Pump();
          std::set<HWND> among;
          for (const HWND hwnd : seen_) {
            if (watched.contains(hwnd)) among.insert(hwnd);
          }
          return among;
        },
        [&](const std::set<HWND>& among) { return among == expected && !expected.empty(); }, ms);
    seen_.clear();
    return changed;
  }

 private:
  static void CALLBACK Note(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                            DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) seen_.insert(hwnd);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

  static inline std::set<HWND> seen_;
  HWINEVENTHOOK hook_;
};

class AccessibleTest : public ClearedMessengerTest {
 protected:
  void SetUp() override {
    ClearedMessengerTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override {
    CoUninitialize();
    ClearedMessengerTest::TearDown();
  }
};

constexpr COLORREF kPurple = RGB(128, 0, 128);

// What each control says after each step: the samples' value and words, and
// 設 定's description.
struct Said {
  const wchar_t *selected, *selectedWords, *current, *currentWords, *apply;
};

enum class Action { Start, Choose, Apply };

struct Step {
  Action action;
  COLORREF chosen;            // for Choose
  std::set<int> changed;      // the samples whose value change is announced
  Said said;
};

struct Scenario {
  const char* what;
  std::function<void(Hive&)> atStartup;
  std::vector<Step> steps;
};

constexpr wchar_t kPurpleWords[] = L"紫、赤 128、緑 0、青 128";
constexpr wchar_t kBlueWords[] = L"青、赤 0、緑 0、青 255";
constexpr wchar_t kNoColour5[] = L"システムの色 5 番（Messenger の色ではありません）";
constexpr wchar_t kNoColour18[] = L"システムの色 18 番（Messenger の色ではありません）";

TEST_F(AccessibleTest, ScreenReadersHearTheColourAsTextAndAreToldWhenItChanges) {
  const std::vector<Scenario> scenarios{
      {"purple found, blue chosen and set",
       [](Hive& registry) { registry.SetColor(kMsn, kPurple); },
       {{Action::Start, 0, {},
         {L"#800080", kPurpleWords, L"#800080", kPurpleWords,
          L"#800080（紫、赤 128、緑 0、青 128）を Messenger に書き込みます"}},
        {Action::Choose, kBlue, {ids::ColorT1},
         {L"#0000FF", kBlueWords, L"#800080", kPurpleWords,
          L"#0000FF（青、赤 0、緑 0、青 255）を Messenger に書き込みます"}},
        {Action::Apply, 0, {ids::ColorT2},
         {L"#0000FF", kBlueWords, L"#0000FF", kBlueWords,
          L"#0000FF（青、赤 0、緑 0、青 255）を Messenger に書き込みます"}}}},
      {"no colour found: system colours, and nothing to set until one is chosen",
       [](Hive& registry) { registry.CreateKey(Account("1234567890")); },
       {{Action::Start, 0, {},
         {L"0x80000005", kNoColour5, L"0x80000012", kNoColour18,
          L"色が選ばれていないため、何も書き込みません"}},
        {Action::Apply, 0, {},
         {L"0x80000005", kNoColour5, L"0x80000012", kNoColour18,
          L"色が選ばれていないため、何も書き込みません"}},
        {Action::Choose, RGB(255, 0, 0), {ids::ColorT1},
         {L"#FF0000", L"赤、赤 255、緑 0、青 0", L"0x80000012", kNoColour18,
          L"#FF0000（赤、赤 255、緑 0、青 0）を Messenger に書き込みます"}}}},
  };
  for (const auto& scenario : scenarios) {
    SCOPED_TRACE(scenario.what);
    ClearMessenger(hive);
    scenario.atStartup(hive);
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    const HWND selected = app.Control(ids::ColorT1), current = app.Control(ids::ColorT2);
    ValueChanges changes(app.Pid());
    ASSERT_TRUE(changes.Hooked());

    for (const auto& step : scenario.steps) {
      SCOPED_TRACE(Narrow(step.said.selected) + " / " + Narrow(step.said.current));
      switch (step.action) {
        case Action::Start: break;
        case Action::Choose: ASSERT_TRUE(e2e::ChooseColor(app, step.chosen)); break;
        case Action::Apply: ASSERT_TRUE(app.PressAndWait(ids::Command3)); break;
      }
      std::set<HWND> expected;
      for (const int id : step.changed) expected.insert(app.Control(id));
      EXPECT_EQ(changes.Since({selected, current}, expected), expected);

      // The samples keep their captions as names.
      EXPECT_EQ(Hear(selected),
                (Heard{L"選択された色", step.said.selected, step.said.selectedWords}));
      EXPECT_EQ(Hear(current),
                (Heard{L"現在設定されている文字色", step.said.current, step.said.currentWords}));
      // The tooltips say as much.
      EXPECT_EQ(TipOver(app.Pid(), selected),
                std::wstring(step.said.selected) + L" " + step.said.selectedWords);
      EXPECT_EQ(TipOver(app.Pid(), current),
                std::wstring(step.said.current) + L" " + step.said.currentWords);
      // The buttons' names without the captions' spacing.
      EXPECT_EQ(Hear(app.Control(ids::Command1)), (Heard{L"色選択", L"", L""}));
      EXPECT_EQ(Hear(app.Control(ids::Command3)), (Heard{L"設定", L"", step.said.apply}));
      EXPECT_EQ(Hear(app.Control(ids::Command2)), (Heard{L"閉じる", L"", L""}));
    }
    app.CloseWithButton();
  }
}

}  // namespace
}  // namespace e2e
