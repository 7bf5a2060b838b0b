// Form1's start-up and apply handlers against the in-memory registry and the
// recording toolkit.
#include "app/form1.h"
#include "support/hive.h"
#include "support/recording_toolkit.h"

#include "memreg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

using testing_support::Bytes;
using testing_support::Le32;
using testing_support::RawValue;
using testing_support::RecordingToolkit;
using testing_support::Tree;
using varnelo::ColorValue;
using varnelo::LabelId;

using namespace testing_support::messenger;

namespace {

class Form1Test : public testing_support::FreshHkcuTest {
 protected:
  std::optional<RawValue> Stored(const std::string& key) const { return hive.GetRaw(key, kValue); }
  static RawValue Binary(ColorValue colour) {
    return RawValue{REG_BINARY, Le32(static_cast<std::uint32_t>(colour))};
  }
  ColorValue T1() const { return toolkit.LabelForeColor(LabelId::ColorT1); }
  ColorValue T2() const { return toolkit.LabelForeColor(LabelId::ColorT2); }

  RecordingToolkit toolkit;
  varnelo::Form1 form{toolkit};
};

// ---- start-up -------------------------------------------------------------

struct StartupCase {
  const char* what;
  std::optional<ColorValue> msn, service;
  std::vector<std::pair<std::string, std::optional<ColorValue>>> accounts;
  bool accountListExists;
  std::optional<ColorValue> shown;  // both labels; nullopt: labels as created
};

TEST_F(Form1Test, StartupShowsTheFirstLocationThatHasAColor) {
  const std::vector<StartupCase> cases{
      {"MSN over Windows Messenger", kRed, kGreen, {}, false, kRed},
      {"Windows Messenger alone", std::nullopt, kBlue, {}, false, kBlue},
      {"black counts as found", 0, kGreen, {}, false, 0},
      {"last account key with a value",
       std::nullopt,
       std::nullopt,
       {{"A", kRed}, {"B", kGreen}},
       true,
       kGreen},
      {"account key without a value is skipped",
       std::nullopt,
       std::nullopt,
       {{"A", kRed}, {"B", std::nullopt}},
       true,
       kRed},
      {"no account key holds one",
       std::nullopt,
       std::nullopt,
       {{"A", std::nullopt}, {"B", std::nullopt}},
       true,
       std::nullopt},
      {"MSN with no account list", kBlue, std::nullopt, {}, false, kBlue},
      {"odd value kept unchanged",
       static_cast<ColorValue>(0xFF000000u),
       std::nullopt,
       {},
       false,
       static_cast<ColorValue>(0xFF000000u)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearMessenger(hive);
    RecordingToolkit tk;
    varnelo::Form1 f(tk);
    if (c.msn) hive.SetColor(kMsn, *c.msn);
    if (c.service) hive.SetColor(kService, *c.service);
    if (c.accountListExists) hive.CreateKey(kAccounts);
    for (const auto& [name, colour] : c.accounts) {
      hive.CreateKey(Account(name));
      if (colour) hive.SetColor(Account(name), *colour);
    }
    const Tree before = hive.Snapshot();

    f.Form_Load();

    EXPECT_FALSE(tk.ended);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT1), c.shown.value_or(varnelo::kSysColorWindow));
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT2),
              c.shown.value_or(RecordingToolkit::kDefaultTextColor));
    EXPECT_EQ(tk.label6Caption, L"v1.5.1");
    EXPECT_EQ(f.PassportCount, static_cast<std::int32_t>(c.accounts.size()));
    EXPECT_EQ(hive.ChangesSince(before), "") << "start-up writes nothing";
  }
}

TEST_F(Form1Test, StartupWithNoMessengerLocationTellsTheUserAndEnds) {
  for (const bool emptyAccountList : {false, true}) {
    SCOPED_TRACE(emptyAccountList ? "account list without subkeys" : "no account list");
    ClearMessenger(hive);
    RecordingToolkit tk;
    varnelo::Form1 f(tk);
    hive.SetRaw(kMsn, "Other value", REG_BINARY, Le32(1));
    if (emptyAccountList) hive.CreateKey(kAccounts);
    const Tree before = hive.Snapshot();

    f.Form_Load();

    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0],
              L"Messengerがインストールされていないか対応していないバージョンです。");
    EXPECT_TRUE(tk.ended);
    EXPECT_EQ(tk.log.back(), "EndProgram") << "nothing runs after the end";
    EXPECT_EQ(tk.label6Caption, L"v1.0.0");
    EXPECT_EQ(hive.ChangesSince(before), "");
  }
}

TEST_F(Form1Test, StartupTreatsUnreadableValuesAsAbsent) {
  hive.SetText(kMsn, kValue, "16711680");  // 9 bytes: no 4-byte number
  hive.SetRaw(kService, kValue, REG_BINARY, Bytes({1, 2, 3, 4, 5}));
  hive.CreateKey(Account("only"));
  hive.SetColor(Account("only"), kBlue);
  form.Form_Load();
  EXPECT_EQ(form.MsnColor, "Error");
  EXPECT_EQ(form.ServiceColor, "Error");
  EXPECT_EQ(T1(), kBlue);
  EXPECT_EQ(T2(), kBlue);
}

// The window is still hidden: the labels are set once, not once per account.
TEST_F(Form1Test, StartupSetsBothLabelsOnceFromTheShownLocation) {
  for (const char* name : {"A", "B", "C"}) hive.CreateKey(Account(name));
  hive.SetColor(Account("A"), kRed);
  hive.SetColor(Account("C"), kBlue);
  form.Form_Load();
  const std::vector<std::string> colorCalls = [&] {
    std::vector<std::string> calls;
    std::copy_if(toolkit.log.begin(), toolkit.log.end(), std::back_inserter(calls),
                 [](const std::string& e) { return e.starts_with("SetLabelForeColor"); });
    return calls;
  }();
  EXPECT_EQ(colorCalls, (std::vector<std::string>{"SetLabelForeColor ColorT1 16711680",
                                                  "SetLabelForeColor ColorT2 16711680"}));
}

// ---- apply ----------------------------------------------------------------

TEST_F(Form1Test, ApplyWritesEveryQualifyingLocation) {
  hive.SetColor(kMsn, kRed);
  hive.SetColor(kService, kGreen);
  for (const char* name : {"b", "A"}) hive.CreateKey(Account(name));
  hive.SetColor(Account("A"), kGreen);
  form.Form_Load();
  toolkit.SetLabelForeColor(LabelId::ColorT1, kBlue);  // as a colour choice would
  hive.SetRaw(kMsn, "Unrelated", REG_SZ, Bytes({'k', 0}));
  form.Command3_Click();

  EXPECT_EQ(form.ApplyColor, "16711680");
  for (const std::string& key :
       {std::string(kMsn), std::string(kService), Account("A"), Account("b")}) {
    EXPECT_EQ(Stored(key), Binary(kBlue)) << key;
  }
  EXPECT_EQ(hive.GetRaw(kMsn, "Unrelated"), (RawValue{REG_SZ, Bytes({'k', 0})}));
  EXPECT_EQ(T2(), kBlue);
}

TEST_F(Form1Test, ApplyFollowsTheRegistryAsItIsAtTheClick) {
  // Start-up: Windows Messenger had no value; MSN had one; accounts A and B.
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(kService);
  for (const char* name : {"A", "B"}) hive.CreateKey(Account(name));
  form.Form_Load();
  toolkit.SetLabelForeColor(LabelId::ColorT1, kGreen);

  // Since then: MSN's value removed, Windows Messenger got one, B removed,
  // C added.
  hive.DeleteValue(kMsn, kValue);
  hive.SetColor(kService, kBlue);
  hive.DeleteKey(Account("B"));
  hive.CreateKey(Account("C"));
  form.Command3_Click();

  EXPECT_EQ(Stored(kMsn), std::nullopt) << "no value now: not written";
  EXPECT_EQ(Stored(kService), Binary(kBlue)) << "no value at start-up: not written";
  EXPECT_EQ(Stored(Account("A")), Binary(kGreen));
  EXPECT_FALSE(hive.KeyExists(Account("B"))) << "removed account key is not created again";
  EXPECT_EQ(Stored(Account("C")), Binary(kGreen)) << "new account key is written";
  EXPECT_EQ(form.PassportIds, (std::vector<std::string>{"A", "C"}));
}

TEST_F(Form1Test, ApplyRecreatesTheWindowsMessengerKeyThatHadAValueAtStartup) {
  hive.SetColor(kService, kRed);
  form.Form_Load();
  hive.DeleteKey(kService);
  hive.SetColor(kMsn, kGreen);  // appeared since start-up
  form.Command3_Click();
  EXPECT_EQ(Stored(kService), Binary(kRed));
  EXPECT_EQ(Stored(kMsn), Binary(kRed));
}

TEST_F(Form1Test, ApplyIgnoresStaleNamesWhenTheAccountListIsGone) {
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(Account("gone"));
  form.Form_Load();
  hive.DeleteKey(kAccounts);
  form.Command3_Click();
  EXPECT_EQ(form.PassportCount, 0);
  EXPECT_EQ(form.PassportIds, (std::vector<std::string>{"gone"})) << "the stale name stays";
  EXPECT_FALSE(hive.KeyExists(kAccounts)) << "and is not written";

  hive.CreateKey(kAccounts);  // present but empty: the same
  form.Command3_Click();
  EXPECT_FALSE(hive.KeyExists(Account("gone")));
  EXPECT_EQ(Stored(kMsn), Binary(kRed));
}

TEST_F(Form1Test, ApplyGoesOnAfterARefusedWriteAndStillShowsTheColor) {
  hive.SetColor(kMsn, kRed);
  for (const char* name : {"A", "B", "C"}) hive.CreateKey(Account(name));
  form.Form_Load();
  hive.RefuseRights(kMsn, KEY_SET_VALUE);
  hive.RefuseRights(Account("B"), KEY_SET_VALUE);
  toolkit.SetLabelForeColor(LabelId::ColorT1, kBlue);
  form.Command3_Click();

  EXPECT_EQ(Stored(kMsn), Binary(kRed));
  EXPECT_EQ(Stored(Account("A")), Binary(kBlue));
  EXPECT_EQ(Stored(Account("B")), std::nullopt);
  EXPECT_EQ(Stored(Account("C")), Binary(kBlue));
  EXPECT_EQ(T2(), kBlue);
  EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(Form1Test, ApplyWritesMsnThenWindowsMessengerThenAccountsInListingOrder) {
  hive.SetColor(kMsn, kRed);
  hive.SetColor(kService, kRed);
  for (const char* name : {"C", "a", "B"}) hive.CreateKey(Account(name));
  form.Form_Load();
  toolkit.SetLabelForeColor(LabelId::ColorT1, kBlue);
  // Each run fails one write; which location kept its old state tells the order.
  const std::vector<std::string> order{kMsn, kService, Account("a"), Account("B"), Account("C")};
  for (std::size_t n = 0; n < order.size(); ++n) {
    SCOPED_TRACE(n);
    for (const auto& key : order) hive.SetColor(key, kRed);
    memreg::FailSetValueAt(n, ERROR_ACCESS_DENIED);
    form.Command3_Click();
    for (std::size_t i = 0; i < order.size(); ++i) {
      EXPECT_EQ(Stored(order[i]), Binary(i == n ? kRed : kBlue)) << order[i];
    }
  }
}

TEST_F(Form1Test, ApplyWithoutAChoiceWritesTheColorFoundAtStartup) {
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(Account("A"));
  form.Form_Load();
  form.Command3_Click();
  EXPECT_EQ(Stored(kMsn), Binary(kRed));
  EXPECT_EQ(Stored(Account("A")), Binary(kRed));
}

TEST_F(Form1Test, ApplyWritesNothingWhileNoColorIsSelected) {
  // Start-up found account keys but no value: ColorT1 still holds the
  // window-colour reference, which is no colour to store.
  for (const char* name : {"A", "B"}) hive.CreateKey(Account(name));
  form.Form_Load();
  ASSERT_EQ(T1(), varnelo::kSysColorWindow);
  const Tree before = hive.Snapshot();
  form.Command3_Click();
  EXPECT_EQ(form.ApplyColor, "-2147483643");
  EXPECT_EQ(hive.ChangesSince(before), "");
  EXPECT_EQ(T2(), RecordingToolkit::kDefaultTextColor);

  toolkit.SetLabelForeColor(LabelId::ColorT1, 0);  // black, read at start-up elsewhere
  form.Command3_Click();
  EXPECT_EQ(Stored(Account("A")), Binary(0)) << "black is a colour";
  EXPECT_EQ(T2(), 0);
}

TEST_F(Form1Test, ApplyWritesOnlyColorsAMessengerClientCanStore) {
  // What ColorT1 holds at the click: an explicit colour up to white is
  // written; anything above it, negative or a system-colour reference is not.
  struct Case {
    const char* what;
    ColorValue selected;
    bool written;
  };
  const std::vector<Case> cases{
      {"white", 0xFFFFFF, true},
      {"just above white", 0x01000000, false},
      {"-1", -1, false},
      {"grey-text reference", varnelo::kSysColorGrayText, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearMessenger(hive);
    RecordingToolkit tk;
    varnelo::Form1 f(tk);
    hive.SetColor(kMsn, kRed);
    hive.CreateKey(Account("A"));
    f.Form_Load();
    tk.SetLabelForeColor(LabelId::ColorT1, c.selected);
    const Tree before = hive.Snapshot();

    f.Command3_Click();

    if (c.written) {
      EXPECT_EQ(Stored(kMsn), Binary(c.selected));
      EXPECT_EQ(Stored(Account("A")), Binary(c.selected));
    } else {
      EXPECT_EQ(hive.ChangesSince(before), "");
    }
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT2), c.written ? c.selected : kRed);
  }
}

TEST_F(Form1Test, ApplyWithNoQualifyingLocationStillShowsTheColor) {
  hive.CreateKey(Account("A"));
  hive.SetColor(Account("A"), kRed);
  form.Form_Load();
  hive.DeleteKey(kAccounts);
  const Tree before = hive.Snapshot();
  toolkit.SetLabelForeColor(LabelId::ColorT1, kGreen);
  form.Command3_Click();
  EXPECT_EQ(hive.ChangesSince(before), "");
  EXPECT_EQ(T2(), kGreen);
}

TEST_F(Form1Test, AToolkitFailureStopsTheHandlerButKeepsWritesMade) {
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(Account("A"));
  form.Form_Load();
  toolkit.SetLabelForeColor(LabelId::ColorT1, kBlue);
  // Showing the applied colour as the current one fails.
  toolkit.FailOn("SetLabelForeColor ColorT2");
  EXPECT_THROW(form.Command3_Click(), varnelo::ToolkitError);
  EXPECT_EQ(Stored(kMsn), Binary(kBlue));
  EXPECT_EQ(Stored(Account("A")), Binary(kBlue));
  EXPECT_EQ(T2(), kRed);
}

TEST_F(Form1Test, CloseEndsAtOnceAndWritesNothing) {
  hive.SetColor(kMsn, kRed);
  form.Form_Load();
  const Tree before = hive.Snapshot();
  toolkit.log.clear();
  form.Command2_Click();
  EXPECT_TRUE(toolkit.ended);
  EXPECT_EQ(toolkit.log, (std::vector<std::string>{"EndProgram"}));
  EXPECT_EQ(hive.ChangesSince(before), "");
}

}  // namespace
