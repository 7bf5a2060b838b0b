// Applying and closing on the real varnelo.exe under Wine, as a user does it:
// choose a colour in the real dialog, press 設 定, 元に戻す from the system
// menu, press 閉 じ る or the close box. The whole of HKEY_CURRENT_USER is compared before and
// after: every location that qualifies at the click holds "IM Color" as 4 bytes of REG_BINARY,
// least significant first, and nothing else has changed.
#include "core/color_words.h"
#include "support/color_dialog.h"
#include "support/driver.h"
#include "support/run_exe.h"
#include "support/scenarios.h"

#include <gtest/gtest.h>

#include <optional>

namespace e2e {
namespace {

using ApplyTest = ClearedMessengerTest;

// The shared apply scenarios (support/scenarios.h): the colour chosen in the
// real dialog, 設 定 pressed; then, where nothing changed in between, the
// same registry again and /set with the same colour, which must leave the
// same HKEY_CURRENT_USER.
TEST_F(ApplyTest, SetWritesEveryQualifyingLocationAndNothingElseAsSetDoes) {
  for (const auto& row : testing_support::scenarios::Apply()) {
    SCOPED_TRACE(row.what);
    ClearMessenger(hive);
    row.atStartup(hive);
    Tree byWindow;  // as 設 定 left it
    {
      Varnelo app;
      ASSERT_NE(app.WaitForMainWindow(), nullptr);
      if (row.chosen) {
        ASSERT_TRUE(e2e::ChooseColor(app, *row.chosen)) << "the colour dialog failed";
      }
      ASSERT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT1), InkOf(row.shown)), InkOf(row.shown));
      if (row.sinceStartup) row.sinceStartup(hive);
      const Tree beforeApply = hive.Snapshot();
      ASSERT_TRUE(ApplyAndCheck(app, beforeApply, row.shown, row.written))
          << "設 定 did not finish";
      byWindow = hive.Snapshot();
      EXPECT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT2), InkOf(row.shown)), InkOf(row.shown));
      EXPECT_EQ(app.WaitForDialog(300), nullptr) << "設 定 shows nothing";

      // 元に戻す from the system menu (greyed, and doing nothing, where 設 定 wrote nothing).
      if (row.beforeUndo) row.beforeUndo(hive);
      const Tree undone = testing_support::scenarios::Undone(hive.Snapshot(), beforeApply, row);
      ASSERT_TRUE(app.ChooseFromSystemMenu('U'));
      if (!row.notPutBack.empty()) {
        const HWND box = app.WaitForDialog();
        ASSERT_NE(box, nullptr) << "元に戻す names what it could not put back";
        for (const auto& key : row.notPutBack) {
          EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find(std::wstring(key.begin(), key.end())),
                    std::wstring::npos);
        }
        PressAndWait(GetDlgItem(box, IDOK));
      }
      EXPECT_TRUE(Eventually([&] { return hive.ChangesSince(undone).empty(); }))
          << hive.ChangesSince(undone);
      const Tree after = hive.Snapshot();

      app.CloseWithButton();
      EXPECT_EQ(hive.ChangesSince(after), "") << "閉 じ る writes nothing";
    }
    if (row.sinceStartup) continue;

    ClearMessenger(hive);
    row.atStartup(hive);
    const std::string colour = varnelo::WebColor(static_cast<varnelo::ColorValue>(row.shown));
    const auto set = RunExe(L"/set " + std::wstring(colour.begin(), colour.end()));
    EXPECT_EQ(hive.ChangesSince(byWindow), "") << "/set";
    EXPECT_EQ(set.exitCode, *row.setError ? 1u : 0u);
    EXPECT_NE(set.err.find(row.setError), std::string::npos) << set.err;
  }
}

TEST_F(ApplyTest, SetWithNoColorFoundOrChosenWritesNothing) {
  // Account keys without a value: the window shows, ColorT1 holds no colour.
  for (const char* name : {"A", "B"}) hive.CreateKey(Account(name));
  const COLORREF buttonText = GetSysColor(COLOR_BTNTEXT);
  const Tree before = hive.Snapshot();
  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  ASSERT_EQ(InkColors(app.Control(ids::ColorT2)), Ink{buttonText});

  ASSERT_TRUE(ApplyAndCheck(app, before, kBlue, {}));
  app.Settle();
  EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), Ink{});
  EXPECT_EQ(InkColors(app.Control(ids::ColorT2)), Ink{buttonText}) << "ColorT2 stays as it was";

  // Once a colour is chosen, the same click writes it.
  ASSERT_TRUE(e2e::ChooseColor(app, kBlue));
  ASSERT_TRUE(ApplyAndCheck(app, hive.Snapshot(), kBlue, {Account("A"), Account("B")}));
  EXPECT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT2), {kBlue}), Ink{kBlue});
}

enum class Ending { CloseButton, CloseMessage, CloseCommand };

TEST_F(ApplyTest, ClosingAfterAChoiceEndsAtOnceAndWritesNothing) {
  const std::vector<std::pair<const char*, Ending>> endings{
      {"閉 じ る", Ending::CloseButton},
      {"close box (WM_CLOSE)", Ending::CloseMessage},
      {"close box (SC_CLOSE)", Ending::CloseCommand},
  };
  for (const auto& [what, ending] : endings) {
    SCOPED_TRACE(what);
    ClearMessenger(hive);
    hive.SetColor(kMsn, kRed);
    hive.SetColor(kService, kRed);
    hive.CreateKey(Account("A"));
    const Tree before = hive.Snapshot();
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(e2e::ChooseColor(app, kBlue));

    switch (ending) {
      case Ending::CloseButton: app.Click(ids::Command2); break;
      case Ending::CloseMessage: PostMessageW(app.Main(), WM_CLOSE, 0, 0); break;
      case Ending::CloseCommand: PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "the program did not end at once, without error";
    EXPECT_EQ(hive.ChangesSince(before), "") << "the choice is not written";
  }
}

}  // namespace
}  // namespace e2e
