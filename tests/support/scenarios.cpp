#include "support/scenarios.h"

#include "support/registry_rules.h"

#include <algorithm>

namespace testing_support::scenarios {
using namespace messenger;

void SeedMisspeltAccounts(Hive& h) {
  h.SetColor(Account("A\\B"), kGreen);  // the account A, its subkey B
  h.CreateKeyNamed(kAccounts,
                   "A\xEF\xBC\xBC"
                   "B");                                                    // A＼B
  h.CreateKeyNamed(kAccounts, "\xED\x95\x9C\xEA\xB5\xAD\xF0\x9F\x98\x80");  // Hangul, an emoji
}

// The rows are easier to read a line or two each than as clang-format lays out lambdas.
// clang-format off
const std::vector<StartupScenario>& Startup() {
  static const std::vector<StartupScenario> rows{
      {"MSN over Windows Messenger",
       [](Hive& h) { h.SetColor(kMsn, kRed); h.SetColor(kService, kGreen); }, kRed},
      {"Windows Messenger alone", [](Hive& h) { h.SetColor(kService, kBlue); }, kBlue},
      {"black counts as found",
       [](Hive& h) { h.SetColor(kMsn, kBlack); h.SetColor(kService, kGreen); }, kBlack},
      {"MSN with no account list", [](Hive& h) { h.SetColor(kMsn, kBlue); }, kBlue},
      {"the last account key with a value",
       [](Hive& h) {
         h.SetColor(Account("A"), kRed); h.SetColor(Account("B"), kGreen); h.CreateKey(Account("C"));
       }, kGreen},
      {"no account key holds one",
       [](Hive& h) { h.CreateKey(Account("A")); h.CreateKey(Account("B")); }, std::nullopt},
      {"unreadable values count as absent",
       [](Hive& h) {
         h.SetText(kMsn, kValue, "16711680");  // 9 bytes: no 4-byte number
         h.SetRaw(kService, kValue, REG_BINARY, Bytes({1, 2, 3, 4, 5}));
         h.SetColor(Account("only"), kBlue);
       }, kBlue},
      {"misspelt account names are not read",  // listed after a@example.com; A\B has green
       [](Hive& h) { h.SetColor(Account("a@example.com"), kRed); SeedMisspeltAccounts(h); }, kRed},
  };
  return rows;
}

const std::vector<ApplyScenario>& Apply() {
  static const std::vector<ApplyScenario> rows{
      {"every kind of location, blue chosen",
       [](Hive& h) {
         h.SetColor(kMsn, kRed); h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7));
         h.SetColor(kService, kGreen); h.SetColor(Account("A"), kRed); h.CreateKey(Account("b"));
       },
       {}, kBlue, kBlue, {kMsn, kService, Account("A"), Account("b")}},
      {"no choice: the colour found at start-up goes back everywhere",
       [](Hive& h) { h.SetColor(kMsn, kRed); h.CreateKey(Account("A")); },
       {}, std::nullopt, kRed, {kMsn, Account("A")}},
      {"black found at start-up is a colour and goes everywhere",
       [](Hive& h) { h.SetColor(kMsn, kBlack); h.SetColor(kService, kRed); h.CreateKey(Account("A")); },
       {}, std::nullopt, kBlack, {kMsn, kService, Account("A")}},
      {"Windows Messenger alone, the MSN key without a colour; white chosen",
       [](Hive& h) { h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7)); h.SetColor(kService, kRed); },
       {}, kWhite, kWhite, {kService}},
      {"locations that came and went since start-up",
       [](Hive& h) {
         h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7));  // key, but no colour
         h.CreateKey(kService); h.SetColor(Account("A"), kGreen); h.CreateKey(Account("B"));
       },
       [](Hive& h) {
         h.SetColor(kMsn, kGreen);      // MSN has one now: written
         h.SetColor(kService, kGreen);  // Windows Messenger had none at start-up: not written
         h.DeleteKey(Account("B"));     // gone: not made again
         h.CreateKey(Account("C"));     // new: written
       },
       kRed, kRed, {kMsn, Account("A"), Account("C")}},
      {"MSN value removed and Windows Messenger key deleted since start-up",
       [](Hive& h) {
         h.SetColor(kMsn, kRed); h.SetRaw(kMsn, "Other", REG_DWORD, Le32(7)); h.SetColor(kService, kRed);
       },
       [](Hive& h) {
         h.DeleteValue(kMsn, kValue);  // not written
         h.DeleteKey(kService);        // had a value at start-up: made again and written
       },
       kBlue, kBlue, {kService}},
      {"Windows Messenger's value deleted since start-up: written, as it had one then",
       [](Hive& h) { h.SetColor(kService, kRed); }, [](Hive& h) { h.DeleteValue(kService, kValue); },
       kBlue, kBlue, {kService}},
      {"account list deleted since start-up: the names listed then are not written",
       [](Hive& h) { h.SetColor(kMsn, kRed); h.CreateKey(Account("A")); h.CreateKey(Account("B")); },
       [](Hive& h) { h.DeleteKey(kAccounts); }, kGreen, kGreen, {kMsn}},
      {"account list emptied since start-up",
       [](Hive& h) { h.SetColor(kMsn, kRed); h.CreateKey(Account("A")); },
       [](Hive& h) { h.DeleteKey(Account("A")); }, kGreen, kGreen, {kMsn}},
      {"no location qualifies: nothing written, the current colour still changes",
       [](Hive& h) { h.SetColor(Account("A"), kRed); },
       [](Hive& h) { h.DeleteKey(kAccounts); }, kGreen, kGreen, {}},
      {"a refused write does not stop the others",
       [](Hive& h) {
         h.SetColor(kMsn, kRed);
         for (const char* name : {"A", "B", "C"}) h.SetColor(Account(name), kRed);
         h.RefuseRights(Account("B"), KEY_SET_VALUE);
       },
       {}, kBlue, kBlue, {kMsn, Account("A"), Account("C")}, "PerPassportSettings\\B: access denied"},
      {"misspelt account names are left alone, and so is what they are misspelt as",
       [](Hive& h) {
         h.SetColor(kMsn, kRed); h.SetColor(Account("a@example.com"), kRed); SeedMisspeltAccounts(h);
       },
       {}, kBlue, kBlue, {kMsn, Account("a@example.com"), Account("A")},
       "PerPassportSettings\\A\\B: its name has characters"},
      {"a DWORD, a text and an account without a value, put back as they were",
       [](Hive& h) {
         h.SetRaw(kMsn, kValue, REG_DWORD, Le32(kRed)); h.SetText(kService, kValue, "a");
         h.CreateKey(Account("A")); h.SetColor(Account("B"), kGreen);
       },
       {}, kBlue, kBlue, {kMsn, kService, Account("A"), Account("B")}},
      {"after 設 定 a key is deleted and one refuses the write-back",
       [](Hive& h) { h.SetColor(kMsn, kRed); for (const char* n : {"A", "B", "C"}) h.CreateKey(Account(n)); },
       {}, kBlue, kBlue, {kMsn, Account("A"), Account("B"), Account("C")}, "",
       [](Hive& h) { h.DeleteKey(Account("A")); h.RefuseRights(Account("B"), KEY_SET_VALUE); },
       {Account("B")}},
      {"a double-click on 設 定 is one step: 元に戻す puts back what was there before",
       [](Hive& h) {
         h.SetRaw(kMsn, kValue, REG_DWORD, Le32(kRed)); h.SetColor(Account("A"), kGreen);
         h.CreateKey(Account("B"));
       },
       {}, kBlue, kBlue, {kMsn, Account("A"), Account("B")}, "", {}, {}, {kBlue}},
      {"two colours applied: two steps, undone newest first",
       [](Hive& h) { h.SetColor(kMsn, kRed); h.SetText(kService, kValue, "a"); },
       {}, kBlue, kBlue, {kMsn, kService}, "", {}, {}, {kGreen}},
      {"changed by another program after 設 定: left as it is now, and named",
       [](Hive& h) { h.SetColor(kMsn, kRed); for (const char* n : {"A", "B"}) h.SetColor(Account(n), kRed); },
       {}, kBlue, kBlue, {kMsn, Account("A"), Account("B")}, "",
       [](Hive& h) { h.SetColor(Account("A"), kGreen); h.DeleteValue(kMsn, kValue); }},
  };
  return rows;
}
// clang-format on

Tree Applied(Tree before, std::uint32_t colour, const std::vector<std::string>& written) {
  for (const auto& key : written) SetValue(before, key, kValue, {REG_BINARY, Le32(colour)});
  return before;
}

std::uint32_t LastApplied(const ApplyScenario& row) {
  return row.thenApplied.empty() ? row.shown : row.thenApplied.back();
}

namespace {
bool Holds(const Tree& tree, const std::string& path, std::uint32_t colour) {
  using registry_rules::Fold;
  const auto key = tree.find(Fold(path));
  if (key == tree.end()) return false;
  const auto value = key->second.values.find(Fold(kValue));
  return value != key->second.values.end() &&
         value->second.raw == RawValue{REG_BINARY, Le32(colour)};
}
}  // namespace

std::size_t UndoSteps(const Tree& beforeApply, const ApplyScenario& row) {
  if (row.written.empty()) return 0;
  std::size_t steps =
      std::ranges::all_of(row.written,
                          [&](const auto& k) { return Holds(beforeApply, k, row.shown); })
          ? 0
          : 1;
  std::uint32_t previous = row.shown;
  for (const std::uint32_t colour : row.thenApplied) {
    if (colour != previous) ++steps;
    previous = colour;
  }
  return steps;
}

std::vector<std::string> ChangedSince(const Tree& now, const ApplyScenario& row) {
  std::vector<std::string> changed;
  for (const auto& path : row.written) {
    if (!Holds(now, path, LastApplied(row))) changed.push_back(path);
  }
  return changed;
}

Tree Undone(Tree now, const Tree& beforeApply, const ApplyScenario& row) {
  using registry_rules::Fold;
  const std::vector<std::string> changed = ChangedSince(now, row);
  for (const auto& path : row.written) {
    if (std::ranges::count(row.notPutBack, path) != 0 || std::ranges::count(changed, path) != 0) {
      continue;
    }
    auto& values = now.find(Fold(path))->second.values;
    values.erase(Fold(kValue));
    if (const auto was = beforeApply.find(Fold(path)); was != beforeApply.end()) {
      if (const auto value = was->second.values.find(Fold(kValue));
          value != was->second.values.end()) {
        values.insert(*value);
      }
    }
  }
  return now;
}

ApplyScenario Retried(ApplyScenario row) {
  row.notPutBack.clear();
  return row;
}

}  // namespace testing_support::scenarios
