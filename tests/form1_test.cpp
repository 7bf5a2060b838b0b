// Form1's start-up and apply handlers against the in-memory registry and the
// recording toolkit.
#include "app/form1.h"
#include "cli/commands.h"
#include "support/hive.h"
#include "support/recording_toolkit.h"
#include "support/scenarios.h"

#include "memreg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

using testing_support::Bytes;
using testing_support::Hive;
using testing_support::Le32;
using testing_support::RawValue;
using testing_support::RecordingToolkit;
using testing_support::Tree;
using varnelo::ColorValue;
using varnelo::LabelId;

using namespace testing_support::messenger;
namespace scenarios = testing_support::scenarios;

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

// ---- the scenarios shared with the end-to-end tests -------------------------

TEST_F(Form1Test, StartupShowsTheFirstLocationThatHasAColor) {
  for (const auto& row : scenarios::Startup()) {
    SCOPED_TRACE(row.what);
    ClearMessenger(hive);
    row.seed(hive);
    const Tree before = hive.Snapshot();
    RecordingToolkit tk;
    varnelo::Form1 f(tk);
    f.Form_Load();

    EXPECT_FALSE(tk.ended);
    EXPECT_TRUE(tk.messages.empty());
    const auto shown = [&](ColorValue none) { return row.shown ? ColorValue(*row.shown) : none; };
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT1), shown(varnelo::kSysColorWindow));
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT2), shown(RecordingToolkit::kDefaultTextColor));
    EXPECT_EQ(tk.label6Caption, L"v1.5.1");
    EXPECT_EQ(hive.ChangesSince(before), "") << "start-up writes nothing";
  }
}

// A backup put back as reg import puts it back, touching only what differs.
void ImportBackup(Hive& hive, const varnelo::Backup& backup) {
  for (const varnelo::SavedColor& saved : backup.saved) {
    const auto now = hive.GetRaw(saved.keyPath, kValue);
    if (!saved.present && now) hive.DeleteValue(saved.keyPath, kValue);
    if (saved.present && now != RawValue{saved.type, saved.data}) {
      hive.SetRaw(saved.keyPath, kValue, saved.type, saved.data);
    }
  }
}

// Whether a message names each of `keys`.
void ExpectNamed(const std::wstring& message, const std::vector<std::string>& keys) {
  for (const auto& key : keys) {
    EXPECT_NE(message.find(std::wstring(key.begin(), key.end())), std::wstring::npos) << key;
  }
}

// 設 定 after start-up, with the colour chosen (as the colour dialog would
// give it), and again with each further colour; then 元に戻す, a step a
// press that changed something, newest first; then, where nothing changed
// in between, /set on the same registry, which must leave the same, and the
// backup read before it, which must undo it.
TEST_F(Form1Test, ApplyWritesEveryQualifyingLocationAsSetDoes) {
  for (const auto& row : scenarios::Apply()) {
    SCOPED_TRACE(row.what);
    ClearMessenger(hive);
    row.atStartup(hive);
    RecordingToolkit tk;
    varnelo::Form1 f(tk);
    f.Form_Load();
    if (row.chosen) tk.SetLabelForeColor(LabelId::ColorT1, ColorValue(*row.chosen));
    ASSERT_EQ(tk.LabelForeColor(LabelId::ColorT1), ColorValue(row.shown));
    if (row.sinceStartup) row.sinceStartup(hive);
    const Tree beforeApply = hive.Snapshot();
    const Tree expected = scenarios::Applied(beforeApply, row.shown, row.written);
    const varnelo::Backup saved = varnelo::ReadBackup(f.LocationsNow());  // as 色を保存 saves
    for (const auto& key : row.written) {
      EXPECT_EQ(std::ranges::count(saved.saved, key, &varnelo::SavedColor::keyPath),
                hive.KeyExists(key) ? 1 : 0)
          << "色を保存 holds " << key;
    }
    f.Command3_Click();
    EXPECT_EQ(hive.ChangesSince(expected), "");
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT2), ColorValue(row.shown));
    ASSERT_EQ(std::ranges::count(tk.log, "MsgBox warning"), *row.setError ? 1 : 0)
        << "a failed write is named";
    for (const std::uint32_t colour : row.thenApplied) {
      tk.SetLabelForeColor(LabelId::ColorT1, ColorValue(colour));
      f.Command3_Click();
    }
    tk.messages.clear();

    // 元に戻す: what each 設 定 changed, put back where it is still what 設 定
    // wrote; ColorT2 as a start-up now shows it.
    if (row.beforeUndo) row.beforeUndo(hive);
    const Tree undone = scenarios::Undone(hive.Snapshot(), beforeApply, row);
    std::vector<std::string> named = scenarios::ChangedSince(hive.Snapshot(), row);
    named.insert(named.end(), row.notPutBack.begin(), row.notPutBack.end());
    for (std::size_t step = scenarios::UndoSteps(beforeApply, row); step > 0; --step) {
      ASSERT_TRUE(f.CanUndo());
      f.Undo_Click();
    }
    EXPECT_EQ(hive.ChangesSince(undone), "") << "元に戻す";
    EXPECT_EQ(f.CanUndo(), !row.notPutBack.empty()) << "what was refused stays undoable";
    ASSERT_EQ(tk.messages.size(), named.empty() ? 0u : 1u);
    if (!named.empty()) ExpectNamed(tk.messages.back(), named);
    for (const auto& key : row.notPutBack) hive.RefuseRights(key, 0);  // allowed again: retried
    const Tree retried = scenarios::Undone(hive.Snapshot(), beforeApply, scenarios::Retried(row));
    f.Undo_Click();
    EXPECT_EQ(hive.ChangesSince(retried), "") << "元に戻す again";
    EXPECT_FALSE(f.CanUndo());
    RecordingToolkit restarted;
    varnelo::Form1(restarted).Form_Load();
    if (!row.written.empty()) {  // else there was nothing to undo
      EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT2), restarted.LabelForeColor(LabelId::ColorT2));
    }
    EXPECT_EQ(tk.LabelForeColor(LabelId::ColorT1), ColorValue(scenarios::LastApplied(row)))
        << "the choice stays";
    if (row.sinceStartup) continue;
    if (row.notPutBack.empty() && !row.beforeUndo) {
      EXPECT_EQ(hive.ChangesSince(beforeApply), "") << "every step undone";
    }

    ClearMessenger(hive);
    row.atStartup(hive);
    const Tree seeded = hive.Snapshot();
    const varnelo::Backup backup = varnelo::ReadBackup(varnelo::ReadProfile());
    const auto set =
        varnelo::RunCommandLine({varnelo::Mode::Set, ColorValue(row.shown), "", {}}, {});
    EXPECT_EQ(hive.ChangesSince(expected), "") << "/set";
    EXPECT_EQ(set.exitCode, *row.setError ? varnelo::kExitWriteFailed : varnelo::kExitDone);
    EXPECT_NE(set.err.find(row.setError), std::string::npos) << set.err;
    ImportBackup(hive, backup);
    EXPECT_EQ(hive.ChangesSince(seeded), "") << "the backup undoes /set";
  }
}

// ---- start-up ----------------------------------------------------------------

// The labels take any 32-bit value as it is, even one no colour dialog gives.
TEST_F(Form1Test, StartupPassesAnOddValueOnUnchanged) {
  hive.SetColor(kMsn, 0xFF000000u);
  form.Form_Load();
  EXPECT_EQ(T1(), static_cast<ColorValue>(0xFF000000u));
  EXPECT_EQ(T2(), static_cast<ColorValue>(0xFF000000u));
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

// The window is still hidden: the labels are set once, not once per account.
TEST_F(Form1Test, StartupSetsBothLabelsOnceFromTheShownLocation) {
  for (const char* name : {"A", "B", "C"}) hive.CreateKey(Account(name));
  hive.SetColor(Account("A"), kRed);
  hive.SetColor(Account("C"), kBlue);
  form.Form_Load();
  std::vector<std::string> colorCalls;
  std::ranges::copy_if(toolkit.log, std::back_inserter(colorCalls),
                       [](const std::string& e) { return e.starts_with("SetLabelForeColor"); });
  EXPECT_EQ(colorCalls, (std::vector<std::string>{"SetLabelForeColor ColorT1 16711680",
                                                  "SetLabelForeColor ColorT2 16711680"}));
}

// ---- apply ----------------------------------------------------------------

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

// Nothing to undo before 設 定 has written; a location whose value could not
// be read just before it is written all the same, left so by 元に戻す, and named.
TEST_F(Form1Test, UndoNamesWhatItCouldNotReadBeforeApplying) {
  hive.SetColor(kMsn, kRed);
  hive.SetColor(Account("A"), kGreen);
  form.Form_Load();
  form.Undo_Click();
  EXPECT_FALSE(form.CanUndo());
  toolkit.SetLabelForeColor(LabelId::ColorT1, kBlue);
  memreg::FailQueryValueWAt(0, ERROR_ACCESS_DENIED);  // MSN Messenger's, read first
  form.Command3_Click();
  form.Undo_Click();
  EXPECT_EQ(Stored(kMsn), Binary(kBlue));
  EXPECT_EQ(Stored(Account("A")), Binary(kGreen));
  ASSERT_EQ(toolkit.messages.size(), 1u);
  EXPECT_NE(toolkit.messages[0].find(L"読み取れなかった"), std::wstring::npos);
  EXPECT_NE(toolkit.messages[0].find(L"\\MSNMessenger\n"), std::wstring::npos);
  EXPECT_EQ(T2(), kBlue) << "what a start-up shows now";
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
