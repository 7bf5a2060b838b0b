// Choosing a colour in the real colour dialog of the real varnelo.exe under
// Wine: what the selected-colour sample shows after each way of leaving the
// dialog, what a second dialog offers, and that choosing writes nothing.
#include "support/color_dialog.h"
#include "support/driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {
namespace {

// What start-up finds, so both samples show it before any choice.
constexpr COLORREF kFound = RGB(0, 128, 0);

using Texts = std::array<std::wstring, 3>;

class ColorChoiceTest : public ClearedMessengerTest {
 protected:
  void SetUp() override {
    ClearedMessengerTest::SetUp();
    hive.SetColor(kMsn, kFound);
  }
};

enum class Leaving { Ok, Cancel, CloseMessage, CloseCommand };

struct ChoiceCase {
  const char* what;
  COLORREF typed;
  Leaving leaving;
  Ink selected;  // ink of ColorT1 afterwards
};

TEST_F(ColorChoiceTest, TheSelectedSampleShowsWhatTheDialogConfirmed) {
  const std::vector<ChoiceCase> cases{
      {"pure red, OK", kRed, Leaving::Ok, {kRed}},
      {"white, OK: drawn in the colour of its white box", kWhite, Leaving::Ok, {}},
      {"black, OK: no choice", kBlack, Leaving::Ok, {kFound}},
      {"red, Cancel", kRed, Leaving::Cancel, {kFound}},
      {"red, close box (WM_CLOSE)", kRed, Leaving::CloseMessage, {kFound}},
      {"red, close box (SC_CLOSE)", kRed, Leaving::CloseCommand, {kFound}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Tree before = hive.Snapshot();
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_EQ(InkColors(app.Control(ids::ColorT1)), Ink{kFound});

    const HWND dialog = e2e::OpenColorDialog(app);
    ASSERT_NE(dialog, nullptr) << "色 選 択 opened no dialog";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.Main());
    EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the window takes no clicks while it is open";
    EXPECT_EQ(e2e::DialogColorTexts(dialog), (Texts{L"0", L"0", L"0"})) << "opens on black";

    e2e::TypeDialogColor(dialog, c.typed);
    ASSERT_EQ(e2e::DialogColorTexts(dialog),
              (Texts{std::to_wstring(GetRValue(c.typed)), std::to_wstring(GetGValue(c.typed)),
                     std::to_wstring(GetBValue(c.typed))}));
    switch (c.leaving) {
      case Leaving::Ok: e2e::PressDialogButton(dialog, IDOK); break;
      case Leaving::Cancel: e2e::PressDialogButton(dialog, IDCANCEL); break;
      case Leaving::CloseMessage: e2e::SendWaiting(dialog, WM_CLOSE); break;
      case Leaving::CloseCommand: e2e::SendWaiting(dialog, WM_SYSCOMMAND, SC_CLOSE); break;
    }
    ASSERT_TRUE(e2e::WaitClosed(app, dialog)) << "the dialog did not close";

    EXPECT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT1), c.selected), c.selected);
    EXPECT_EQ(InkColors(app.Control(ids::ColorT2)), Ink{kFound}) << "the current colour stays";
    EXPECT_TRUE(IsWindowEnabled(app.Main()));
    EXPECT_EQ(hive.ChangesSince(before), "") << "choosing writes nothing";
    app.CloseWithButton();
  }
}

TEST_F(ColorChoiceTest, ASecondDialogOpensOnBlackWithSixteenBlackCustomColors) {
  const Tree before = hive.Snapshot();
  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);

  // First dialog: define three custom colours, then confirm a fourth.
  const HWND first = e2e::OpenColorDialog(app);
  ASSERT_NE(first, nullptr);
  e2e::PressDialogButton(first, e2e::kDialogDefine);
  const std::vector<COLORREF> defined{RGB(255, 128, 0), RGB(0, 128, 255), RGB(128, 0, 255)};
  for (const COLORREF colour : defined) {
    e2e::TypeDialogColor(first, colour);
    e2e::PressDialogButton(first, e2e::kDialogAdd);
  }
  const std::vector<COLORREF> shown =
      e2e::CustomColorsOnceDrawn(first, [&](const std::vector<COLORREF>& boxes) {
        return std::all_of(defined.begin(), defined.end(), [&](COLORREF colour) {
          return std::count(boxes.begin(), boxes.end(), colour) == 1;
        });
      });
  ASSERT_EQ(shown.size(), 16u);
  for (const COLORREF colour : defined) {
    ASSERT_EQ(std::count(shown.begin(), shown.end(), colour), 1)
        << "the boxes show each colour defined: " << std::hex << colour;
  }
  const COLORREF chosen = RGB(200, 0, 100);
  e2e::TypeDialogColor(first, chosen);
  e2e::PressDialogButton(first, IDOK);
  ASSERT_TRUE(e2e::WaitClosed(app, first));
  ASSERT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT1), {chosen}), Ink{chosen});

  // Second dialog: nothing of the first is left.
  const HWND second = e2e::OpenColorDialog(app);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetWindow(second, GW_OWNER), app.Main());
  EXPECT_EQ(e2e::DialogColorTexts(second), (Texts{L"0", L"0", L"0"}))
      << "opens on black, not on the colour the window shows";
  const std::vector<COLORREF> allBlack(16, kBlack);
  EXPECT_EQ(e2e::CustomColorsOnceDrawn(
                second, [&](const std::vector<COLORREF>& boxes) { return boxes == allBlack; }),
            allBlack);

  // Confirming what it opened on is confirming black: no choice.
  e2e::PressDialogButton(second, IDOK);
  ASSERT_TRUE(e2e::WaitClosed(app, second));
  EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), Ink{chosen});
  EXPECT_EQ(hive.ChangesSince(before), "");
  app.CloseWithButton();
}

}  // namespace
}  // namespace e2e
