// The scenarios of start-up and of 設 定, written once and run on both sides:
// natively against Form1 and the command line over the in-memory registry
// (form1_test.cpp), and under Wine against the real varnelo.exe, driven from
// outside (e2e_startup_test.cpp, e2e_apply_test.cpp). A row that one side
// gets wrong fails there, whichever side it is.
#pragma once

#include "support/hive.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support::scenarios {

using Seed = std::function<void(Hive&)>;

struct StartupScenario {
  const char* what;
  Seed seed;
  std::optional<std::uint32_t> shown;  // in both samples; nullopt: no colour found
};

// Registries on which the window opens, and the colour it shows.
const std::vector<StartupScenario>& Startup();

struct ApplyScenario {
  const char* what;
  Seed atStartup;
  Seed sinceStartup;                    // changed before 設 定 is pressed; may be empty
  std::optional<std::uint32_t> chosen;  // in the colour dialog; nullopt: no choice
  std::uint32_t shown;                  // in the selected sample at the click: what is written
  std::vector<std::string> written;     // the keys whose "IM Color" 設 定 sets, only those
  const char* setError = "";  // a part of what /set says of a location it leaves unwritten
  Seed beforeUndo{};          // changed between 設 定 and 元に戻す; may be empty
  std::vector<std::string> notPutBack{};     // of `written`: refuse the write-back (named, retried)
  std::vector<std::uint32_t> thenApplied{};  // chosen and applied again after 設 定, in order
};

// 設 定 on registries as they are at start-up and at the click. Where nothing
// changes in between, /set with the same colour on the same registry must
// leave what 設 定 left. 元に戻す then must leave what Undone() says: where
// nothing changed after 設 定, the registry as it was just before it.
const std::vector<ApplyScenario>& Apply();

// Account keys whose names the 8-bit calls misspell, below the account
// list: "A＼B" (a full-width reverse solidus), listed as "A\B", the path of
// the key B below the account A (which has green, and is made too); and one
// of Hangul and an emoji, listed with '?' for each character, naming no key.
void SeedMisspeltAccounts(Hive& hive);

// `before`, with "IM Color" set to `colour` as the Messenger clients store it
// under each key of `written`: what 設 定 leaves.
Tree Applied(Tree before, std::uint32_t colour, const std::vector<std::string>& written);

// The colour the last 設 定 of `row` wrote.
std::uint32_t LastApplied(const ApplyScenario& row);

// How many of `row`'s presses of 設 定 changed something, from `beforeApply`
// on: the steps 元に戻す has.
std::size_t UndoSteps(const Tree& beforeApply, const ApplyScenario& row);

// Of `written`, the keys no longer holding what the last 設 定 wrote in
// `now` (changed, deleted, or the key gone): 元に戻す leaves them and names them.
std::vector<std::string> ChangedSince(const Tree& now, const ApplyScenario& row);

// `now`, with "IM Color" as it was in `beforeApply` (none where there was
// none) under each key of `written` that still holds what the last 設 定
// wrote, but `notPutBack`: what 元に戻す leaves.
Tree Undone(Tree now, const Tree& beforeApply, const ApplyScenario& row);

// `row` once its refused keys allow the write-back again: what a second
// 元に戻す puts back.
ApplyScenario Retried(ApplyScenario row);

}  // namespace testing_support::scenarios
