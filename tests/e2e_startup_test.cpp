// Start-up of the real varnelo.exe under Wine, on seeded registries: what it
// shows, the not-installed message, and that it writes nothing.
#include "support/driver.h"
#include "support/scenarios.h"

#include <gtest/gtest.h>

#include <optional>

namespace e2e {
namespace {

using StartupTest = ClearedMessengerTest;

TEST_F(StartupTest, NoMessengerLocationShowsTheMessageAndEndsWithoutAWindow) {
  for (const bool emptyAccountList : {false, true}) {
    SCOPED_TRACE(emptyAccountList ? "empty account list" : "no account list");
    ClearMessenger(hive);
    hive.SetRaw(kMsn, "Unrelated", REG_BINARY, Le32(5));
    if (emptyAccountList) hive.CreateKey(kAccounts);
    const Tree before = hive.Snapshot();

    Varnelo app;
    const HWND box = app.WaitForDialog();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(e2e::WindowText(box), L"Varnelo");
    EXPECT_EQ(e2e::WindowText(GetDlgItem(box, 0xFFFF)),
              L"Messengerがインストールされていないか対応していないバージョンです。");
    int buttons = 0;
    for (const HWND child : e2e::Children(box)) {
      if (e2e::ClassName(child) == L"Button" && IsWindowVisible(child)) {
        ++buttons;
        EXPECT_EQ(GetDlgCtrlID(child), IDOK);
      }
      if (e2e::ClassName(child) == L"Static" &&
          (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        EXPECT_EQ(SendMessageW(child, STM_GETICON, 0, 0), 0) << "no icon";
      }
    }
    EXPECT_EQ(buttons, 1);
    EXPECT_FALSE(app.MainWindowVisible()) << "the window never shows";

    e2e::Click(GetDlgItem(box, IDOK));
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "the program did not end after OK, without error";
    EXPECT_EQ(hive.ChangesSince(before), "") << "nothing was written";
  }
}

// The shared start-up scenarios (support/scenarios.h), on the real window.
TEST_F(StartupTest, TheWindowShowsTheColorOfTheFirstLocationThatHasOne) {
  const COLORREF buttonText = GetSysColor(COLOR_BTNTEXT);
  for (const auto& row : testing_support::scenarios::Startup()) {
    SCOPED_TRACE(row.what);
    ClearMessenger(hive);
    row.seed(hive);
    const Tree before = hive.Snapshot();

    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_EQ(e2e::WindowText(app.Control(ids::Label6)), e2e::VersionLabel());
    EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), row.shown ? InkOf(*row.shown) : Ink{});
    EXPECT_EQ(InkColors(app.Control(ids::ColorT2)),
              row.shown ? InkOf(*row.shown) : Ink{buttonText});

    app.CloseWithButton();
    EXPECT_EQ(hive.ChangesSince(before), "") << "start-up and close write nothing";
  }
}

}  // namespace
}  // namespace e2e
