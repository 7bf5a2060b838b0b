// Applying and closing on the real varnelo.exe under Wine, as a user does it:
// choose a colour in the real dialog, press 設 定, press 閉 じ る or the close
// box. The whole of HKEY_CURRENT_USER is compared before and after: every
// location that qualifies at the click holds "IM Color" as 4 bytes of
// REG_BINARY, least significant first, and nothing else has changed.
#include "support/color_dialog.h"
#include "support/driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace e2e {
namespace {

using ApplyTest = ClearedMessengerTest;

struct ApplyCase {
  const char* what;
  std::function<void(Hive&)> atStartup;
  std::function<void(Hive&)> sinceStartup;  // changed before 設 定 is pressed
  std::optional<COLORREF> chosen;           // none: 設 定 without a choice
  COLORREF shown;                           // in ColorT1 at the click
  std::vector<std::string> written;         // keys whose "IM Color" the click sets to `shown`
};

void Nothing(Hive&) {}

TEST_F(ApplyTest, SetWritesEveryQualifyingLocationAndNothingElse) {
  const std::vector<ApplyCase> cases{
      {"every kind of location, blue chosen",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7));
         h.SetColor(kService, kGreen);
         h.SetColor(Account("A"), kRed);
         h.CreateKey(Account("B"));
       },
       Nothing,
       kBlue,
       kBlue,
       {kMsn, kService, Account("A"), Account("B")}},
      {"no choice: the colour found at start-up goes back everywhere",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         h.CreateKey(Account("A"));
       },
       Nothing,
       std::nullopt,
       kRed,
       {kMsn, Account("A")}},
      {"black found at start-up is a colour and goes everywhere",
       [](Hive& h) {
         h.SetColor(kMsn, kBlack);
         h.SetColor(kService, kRed);
         h.CreateKey(Account("A"));
       },
       Nothing,
       std::nullopt,
       kBlack,
       {kMsn, kService, Account("A")}},
      {"white chosen",
       [](Hive& h) { h.SetColor(kService, kRed); },
       Nothing,
       kWhite,
       kWhite,
       {kService}},
      {"locations that came and went since start-up",
       [](Hive& h) {
         h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7));  // key, but no colour
         h.CreateKey(kService);
         h.SetColor(Account("A"), kGreen);
         h.CreateKey(Account("B"));
       },
       [](Hive& h) {
         h.SetColor(kMsn, kGreen);      // MSN has one now: written
         h.SetColor(kService, kGreen);  // Windows Messenger had none at start-up: not written
         h.DeleteKey(Account("B"));     // gone: not made again
         h.CreateKey(Account("C"));     // new: written
       },
       kRed,
       kRed,
       {kMsn, Account("A"), Account("C")}},
      {"MSN value removed and Windows Messenger key deleted since start-up",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7));
         h.SetColor(kService, kRed);
       },
       [](Hive& h) {
         h.DeleteValue(kMsn, kValue);  // not written
         h.DeleteKey(kService);        // had a value at start-up: made again and written
       },
       kBlue,
       kBlue,
       {kService}},
      {"account list deleted since start-up: the names listed then are not written",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         h.CreateKey(Account("A"));
         h.CreateKey(Account("B"));
       },
       [](Hive& h) { h.DeleteKey(kAccounts); },
       kGreen,
       kGreen,
       {kMsn}},
      {"account list emptied since start-up",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         h.CreateKey(Account("A"));
       },
       [](Hive& h) { h.DeleteKey(Account("A")); },
       kGreen,
       kGreen,
       {kMsn}},
      {"no location qualifies: nothing written, the current colour still changes",
       [](Hive& h) { h.SetColor(Account("A"), kRed); },
       [](Hive& h) { h.DeleteKey(kAccounts); },
       kGreen,
       kGreen,
       {}},
      {"a refused write does not stop the others",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         for (const char* name : {"A", "B", "C"}) h.SetColor(Account(name), kRed);
       },
       [](Hive& h) { h.RefuseRights(Account("B"), KEY_SET_VALUE); },
       kBlue,
       kBlue,
       {kMsn, Account("A"), Account("C")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearMessenger(hive);
    c.atStartup(hive);
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    if (c.chosen) {
      ASSERT_TRUE(e2e::ChooseColor(app, *c.chosen)) << "the colour dialog failed";
    }
    ASSERT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT1), InkOf(c.shown)), InkOf(c.shown));
    c.sinceStartup(hive);
    ASSERT_TRUE(ApplyAndCheck(app, hive.Snapshot(), c.shown, c.written)) << "設 定 did not finish";
    const Tree after = hive.Snapshot();
    EXPECT_EQ(e2e::InkOnceDrawn(app.Control(ids::ColorT2), InkOf(c.shown)), InkOf(c.shown));
    EXPECT_EQ(app.WaitForDialog(300), nullptr) << "設 定 shows nothing";

    app.CloseWithButton();
    EXPECT_EQ(hive.ChangesSince(after), "") << "閉 じ る writes nothing";
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
