// What a screen reader reads of the real varnelo.exe under Wine, from another
// process as it does: each sample's value and description and each button's
// name through the window's own answer to WM_GETOBJECT
// (AccessibleObjectFromWindow, OBJID_CLIENT), after start-up, after a colour
// is chosen in the real dialog and after 設 定; and the value changes that an
// out-of-context WinEvent hook sees.
#include "app/win32/system_menu.h"
#include "support/color_dialog.h"
#include "support/driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <tuple>

namespace e2e {
namespace {

void FreeText(BSTR text) { SysFreeString(text); }
void ReleaseObject(IAccessible* object) { object->Release(); }
// What the reader is given: a text and an object, each given back once.
using Text = varnelo::UniqueHandle<BSTR, FreeText>;
using Object = varnelo::UniqueHandle<IAccessible*, ReleaseObject>;

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
  Object object;
  // __uuidof, not IID_IAccessible: MinGW's oleacc import library gives
  // that name to an import thunk, not to the GUID.
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(object.receive())))) {
    return std::nullopt;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  Text name, value, description;
  object.get()->get_accName(self, name.receive());
  object.get()->get_accValue(self, value.receive());
  object.get()->get_accDescription(self, description.receive());
  const auto text = [](const Text& t) { return std::wstring(t.get() ? t.get() : L""); };
  return Heard{text(name), text(value), text(description)};
}

// The tooltip that the program shows with the mouse resting on `control`,
// once it is up; nullptr when none shows.
HWND TipUpOver(DWORD pid, HWND control) {
  return SampleUntil(
      [&] {
        MoveMouseTo(control, 0.4);
        Sleep(100);
        MoveMouseTo(control, 0.6);
        return WaitForTopLevel(pid, TOOLTIPS_CLASSW, 1500);
      },
      [](HWND found) { return found != nullptr; }, 4000);
}

std::wstring TipText(HWND tip) {
  wchar_t text[256] = {};
  if (tip != nullptr) SendWaiting(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

// The tooltip's text over `control` ("" when none shows), the mouse then
// moved off it again.
std::wstring TipOver(DWORD pid, HWND control) {
  const HWND tip = TipUpOver(pid, control);
  const std::wstring text = TipText(tip);
  SetCursorPos(0, 0);
  if (tip != nullptr) Eventually([&] { return !IsWindowVisible(tip); }, 3000);
  return text;
}

// The windows whose client object announced EVENT_OBJECT_VALUECHANGE to an
// out-of-context hook on the program's process. The hook's thread (the
// test's) is told while it takes its messages.
class ValueChanges {
 public:
  explicit ValueChanges(DWORD pid)
      : hook_(SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, Note,
                              pid, 0, WINEVENT_OUTOFCONTEXT)) {}
  ValueChanges(const ValueChanges&) = delete;
  ValueChanges& operator=(const ValueChanges&) = delete;
  ~ValueChanges() { UnhookWinEvent(hook_); }
  bool Hooked() const { return hook_ != nullptr; }

  // Those among `watched` announced since the last call, once they are
  // `expected` (or after 3 s: a wait for nothing waits that long).
  std::set<HWND> Since(const std::set<HWND>& watched, const std::set<HWND>& expected) {
    const auto among = SampleUntil(
        [&] {
          MSG msg;
          while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
          std::set<HWND> seen;
          std::ranges::copy_if(seen_, std::inserter(seen, seen.end()),
                               [&](HWND hwnd) { return watched.contains(hwnd); });
          return seen;
        },
        [&](const std::set<HWND>& seen) { return !expected.empty() && seen == expected; }, 3000);
    seen_.clear();
    return among;
  }

 private:
  static void CALLBACK Note(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                            DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) seen_.insert(hwnd);
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

enum class Action { Start, Choose, Apply, Undo };

// A sample's value and its words, as read and as its tooltip shows them.
struct Sample {
  const wchar_t *value, *words;
};
constexpr Sample kPurpleSample{L"#800080",
                               L"紫。赤 128、緑 0、青 128。白い背景とのコントラスト比 9.41 対 1"};
constexpr Sample kBlueSample{L"#0000FF",
                             L"青。赤 0、緑 0、青 255。白い背景とのコントラスト比 8.59 対 1"};
constexpr Sample kRedSample{
    L"#FF0000",
    L"赤。赤 255、緑 0、青 0。白い背景とのコントラスト比 3.99 対 1、やや読みにくい色です"};
constexpr Sample kNoColourSample{L"なし", L"まだ Messenger の色を表示していません"};

// After each step: the two samples, and those whose value change was
// announced. 設 定's description names the selected colour, or says that
// nothing is written while it is a system colour.
struct Step {
  Action action;
  COLORREF chosen;  // for Choose
  Sample selected, current;
  std::set<int> changed;
};

std::wstring ApplySays(Sample selected) {
  if (selected.value[0] != L'#') return L"色が選ばれていないため、何も書き込みません";
  return std::wstring(selected.value) + L" を Messenger に書き込みます。" + selected.words;
}

TEST_F(AccessibleTest, ScreenReadersHearTheColourAsTextAndAreToldWhenItChanges) {
  const std::vector<std::tuple<const char*, std::function<void(Hive&)>, std::vector<Step>>>
      scenarios{
          {"purple found, blue chosen and set",
           [](Hive& registry) { registry.SetColor(kMsn, RGB(128, 0, 128)); },
           {{Action::Start, 0, kPurpleSample, kPurpleSample, {}},
            {Action::Choose, kBlue, kBlueSample, kPurpleSample, {ids::ColorT1}},
            {Action::Apply, 0, kBlueSample, kBlueSample, {ids::ColorT2}},
            {Action::Undo, 0, kBlueSample, kPurpleSample, {ids::ColorT2}}}},
          {"no colour found: system colours, nothing to set until one is chosen",
           [](Hive& registry) { registry.CreateKey(Account("1234567890")); },
           {{Action::Start, 0, kNoColourSample, kNoColourSample, {}},
            {Action::Apply, 0, kNoColourSample, kNoColourSample, {}},
            {Action::Choose, kRed, kRedSample, kNoColourSample, {ids::ColorT1}}}},
      };
  for (const auto& [what, atStartup, steps] : scenarios) {
    SCOPED_TRACE(what);
    ClearMessenger(hive);
    atStartup(hive);
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    const HWND selected = app.Control(ids::ColorT1), current = app.Control(ids::ColorT2);
    ValueChanges changes(app.Pid());
    ASSERT_TRUE(changes.Hooked());

    for (const auto& step : steps) {
      SCOPED_TRACE(Narrow(step.selected.value) + " / " + Narrow(step.current.value));
      if (step.action == Action::Choose) {
        ASSERT_TRUE(e2e::ChooseColor(app, step.chosen));
      } else if (step.action == Action::Apply) {
        ASSERT_TRUE(app.PressAndWait(ids::Command3));
      } else if (step.action == Action::Undo) {  // the tip up over the colour it changes
        const HWND tip = TipUpOver(app.Pid(), current);
        ASSERT_NE(tip, nullptr);
        SendWaiting(app.Main(), WM_SYSCOMMAND, varnelo::kUndoCommand, 0);
        const std::wstring now = std::wstring(step.current.value) + L" " + step.current.words;
        EXPECT_TRUE(Eventually([&] { return TipText(tip) == now; })) << Narrow(TipText(tip));
        SetCursorPos(0, 0);
      }
      std::set<HWND> expected;
      for (const int id : step.changed) expected.insert(app.Control(id));
      EXPECT_EQ(changes.Since({selected, current}, expected), expected);

      // The samples keep their captions as names; their tooltips say as much.
      for (const auto& [sample, shown, caption] :
           {std::tuple{selected, step.selected, L"選択された色"},
            std::tuple{current, step.current, L"現在設定されている文字色"}}) {
        EXPECT_EQ(Hear(sample), (Heard{caption, shown.value, shown.words}));
        EXPECT_EQ(TipOver(app.Pid(), sample), std::wstring(shown.value) + L" " + shown.words);
      }
      // The buttons' names without the captions' spacing.
      EXPECT_EQ(Hear(app.Control(ids::Command1)), (Heard{L"色選択", L"", L""}));
      EXPECT_EQ(Hear(app.Control(ids::Command3)), (Heard{L"設定", L"", ApplySays(step.selected)}));
      EXPECT_EQ(Hear(app.Control(ids::Command2)), (Heard{L"閉じる", L"", L""}));
    }
    app.CloseWithButton();
  }
}

}  // namespace
}  // namespace e2e
