// PickColor and the choose-colour command against the scripted dialog.
#include "colordialog/color.h"
#include "app/form1.h"
#include "support/recording_toolkit.h"

#include "fake_commdlg.h"

#include <gtest/gtest.h>

using testing_support::RecordingToolkit;
using varnelo::LabelId;

namespace {

fakecc::Answer Confirm(COLORREF colour) { return {TRUE, colour, {}}; }
const fakecc::Answer kCancel{FALSE, 0, {}};

class ColorTest : public ::testing::Test {
 protected:
  void SetUp() override { fakecc::Reset(); }
  RecordingToolkit toolkit;
  const HWND owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x4242));
};

TEST_F(ColorTest, EveryCallOpensTheSameFreshDialog) {
  fakecc::Answer userDefinedCustoms = Confirm(255);
  userDefinedCustoms.customColors.fill(0x00ABCDEF);
  fakecc::Script({userDefinedCustoms, Confirm(65280)});

  EXPECT_EQ(Color::PickColor(owner, toolkit), 255);
  EXPECT_EQ(Color::PickColor(owner, toolkit), 65280);

  ASSERT_EQ(fakecc::Dialogs().size(), 2u);
  for (const auto& dialog : fakecc::Dialogs()) {
    EXPECT_EQ(dialog.owner, owner);
    EXPECT_EQ(dialog.initial, 0u) << "opens on black";
    EXPECT_EQ(dialog.customColors, (std::array<COLORREF, 16>{})) << "16 black custom colours";
    EXPECT_TRUE(dialog.plain) << "nothing added to the dialog or taken away";
  }
}

TEST_F(ColorTest, ResultRules) {
  // clang-format off
  const std::pair<fakecc::Answer, std::int32_t> cases[] = {
      {kCancel, 0}, {Confirm(0), 0}, {Confirm(255), 255}, {Confirm(16711680), 16711680},
      {Confirm(16777215), 16777215}, {Confirm(16777216), -2}, {Confirm(0x7FFFFFFF), -2},
      {Confirm(0x80000000), INT32_MIN}, {Confirm(0xFFFFFFFF), -1},
  };
  // clang-format on
  for (const auto& [answer, expected] : cases) {
    SCOPED_TRACE(answer.colour);
    fakecc::Script({answer});
    EXPECT_EQ(Color::PickColor(owner, toolkit), expected);
  }
}

TEST_F(ColorTest, InstanceHandleFailurePassesToTheCallerWithoutADialog) {
  toolkit.FailOn("InstanceHandle");
  EXPECT_THROW(static_cast<void>(Color::PickColor(owner, toolkit)), varnelo::ToolkitError);
  EXPECT_TRUE(fakecc::Dialogs().empty());
}

TEST_F(ColorTest, ChooseCommandSelectsOnlyColorsAboveZero) {
  varnelo::Form1 form(toolkit);
  struct Step {
    fakecc::Answer answer;
    const char* picked;
    varnelo::ColorValue selected;
  };
  const varnelo::ColorValue created = varnelo::kSysColorWindow;
  const std::vector<Step> steps{
      {kCancel, "0", created},
      {Confirm(0), "0", created},
      {Confirm(255), "255", 255},
      {kCancel, "0", 255},
      {Confirm(16777216), "-2", 255},
      {Confirm(0x80000001), "-2147483647", 255},
      {Confirm(16777215), "16777215", 16777215},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.picked);
    fakecc::Script({step.answer});
    form.Command1_Click();
    EXPECT_EQ(form.PickedColor, step.picked);
    EXPECT_EQ(toolkit.LabelForeColor(LabelId::ColorT1), step.selected);
  }
  for (const auto& dialog : fakecc::Dialogs()) {
    EXPECT_EQ(dialog.owner, toolkit.WindowHandle());
    EXPECT_EQ(dialog.initial, 0u);
  }
  EXPECT_EQ(toolkit.LabelForeColor(LabelId::ColorT2), RecordingToolkit::kDefaultTextColor)
      << "choosing does not touch the current colour";
}

TEST_F(ColorTest, TheDialogLibraryComesOnlyFromTheSystemFolder) {
  fakecc::Script({Confirm(255)});
  EXPECT_EQ(Color::PickColor(owner, toolkit), 255);
  EXPECT_EQ(fakecc::LoadedLibraries(),
            std::vector<std::wstring>{L"C:\\WINDOWS\\system32\\comdlg32.dll"});

  fakecc::SetDialogLibraryMissing(true);
  fakecc::Script({Confirm(255)});
  EXPECT_EQ(Color::PickColor(owner, toolkit), 0) << "no dialog library: no colour chosen";
  EXPECT_EQ(fakecc::Dialogs().size(), 1u) << "and no dialog shown";
}

}  // namespace
