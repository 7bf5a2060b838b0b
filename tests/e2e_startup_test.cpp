// Start-up of the real varnelo.exe under Wine, on seeded registries: what it
// shows, the not-installed message, and that it writes nothing.
#include "support/driver.h"

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

struct ShownCase {
  const char* what;
  std::optional<COLORREF> msn, service;
  std::vector<std::pair<std::string, std::optional<COLORREF>>> accounts;
  e2e::Ink t1Ink, t2Ink;  // colours the two samples' texts are drawn in
};

TEST_F(StartupTest, TheWindowShowsTheColorOfTheFirstLocationThatHasOne) {
  const COLORREF buttonText = GetSysColor(COLOR_BTNTEXT);
  const std::vector<ShownCase> cases{
      {"MSN over Windows Messenger", kRed, kGreen, {}, {kRed}, {kRed}},
      {"Windows Messenger alone", std::nullopt, kBlue, {}, {kBlue}, {kBlue}},
      {"black counts as found", kBlack, kGreen, {}, {kBlack}, {kBlack}},
      {"last account key with a value",
       std::nullopt,
       std::nullopt,
       {{"A", kRed}, {"B", kGreen}},
       {kGreen},
       {kGreen}},
      {"account key without a value",
       std::nullopt,
       std::nullopt,
       {{"A", kRed}, {"B", std::nullopt}},
       {kRed},
       {kRed}},
      {"no account key holds one",
       std::nullopt,
       std::nullopt,
       {{"A", std::nullopt}},
       {},
       {buttonText}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearMessenger(hive);
    if (c.msn) hive.SetColor(kMsn, *c.msn);
    if (c.service) hive.SetColor(kService, *c.service);
    for (const auto& [name, colour] : c.accounts) {
      hive.CreateKey(Account(name));
      if (colour) hive.SetColor(Account(name), *colour);
    }
    const Tree before = hive.Snapshot();

    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_EQ(e2e::WindowText(app.Control(ids::Label6)), e2e::VersionLabel());
    EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), c.t1Ink);
    EXPECT_EQ(InkColors(app.Control(ids::ColorT2)), c.t2Ink);

    app.CloseWithButton();
    EXPECT_EQ(hive.ChangesSince(before), "") << "start-up and close write nothing";
  }
}

TEST_F(StartupTest, UnreadableValuesCountAsAbsent) {
  hive.SetText(kMsn, kValue, "16711680");  // 9 bytes
  hive.SetRaw(kService, kValue, REG_BINARY, Bytes({1, 2, 3, 4, 5}));
  hive.CreateKey(Account("only"));
  hive.SetColor(Account("only"), kBlue);

  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), e2e::Ink{kBlue});
}

}  // namespace
}  // namespace e2e
