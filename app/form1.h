// Form1: the program's one window, as its handlers see it: the window-level
// state and the handlers of its four events, and 元に戻す. Layout and drawing
// live in the Win32 toolkit; this class only talks to the Toolkit interface
// and to the core's Messenger colour rules (core/messenger_colors.h) and the
// Color module, so it runs the same against stand-ins in tests.
#pragma once

#include "app/toolkit.h"
#include "core/messenger_colors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnelo {

inline constexpr wchar_t kNotInstalledMessage[] =
    L"Messengerがインストールされていないか対応していないバージョンです。";

class Form1 {
 public:
  explicit Form1(Toolkit& toolkit) : toolkit_(toolkit) {}

  // Runs once before the window is first shown.
  void Form_Load();
  void Command1_Click();  // choose a colour
  void Command2_Click();  // close
  void Command3_Click();  // write the selected colour to every Messenger location
  // 元に戻す (system menu): puts back what the newest 設 定 not yet undone
  // changed, where it is still what 設 定 wrote.
  void Undo_Click();
  // Whether a 設 定 of this run has changed something not yet undone.
  [[nodiscard]] bool CanUndo() const { return !undoSteps_.empty(); }

  // Where 設 定 would write now, as it decides: MSN Messenger's colour and
  // the account listing read now, Windows Messenger's as start-up found it.
  // Only reads; 色を保存 saves these locations.
  [[nodiscard]] Profile LocationsNow() const;

  // Window-level state read by the handlers, kept in the form the colour
  // rules take it. Colours travel as decimal text; "Error" marks a value
  // that was not found.
  [[nodiscard]] const std::string& MsnColor() const { return messenger_.msnColor; }
  [[nodiscard]] const std::string& ServiceColor() const { return messenger_.serviceColor; }
  [[nodiscard]] std::int32_t PassportCount() const { return messenger_.accountCount; }
  [[nodiscard]] const std::vector<std::string>& PassportIds() const {
    return messenger_.accountIds;
  }

  // The rest of the window's named state. PassportIndex, PassportKeyPath and
  // PassportColor are kept up to date as the window's contract names them,
  // though nothing in the program reads them back.
  std::string PickedColor;
  std::string MsnKeyPath;
  std::string ServiceKeyPath;
  std::string PassportKeyPath;
  std::string PassportColor;
  std::string ApplyColor;
  std::int32_t PassportIndex = 0;

 private:
  void ShowColor(const std::string& colorText);

  Toolkit& toolkit_;
  Profile messenger_;
  // What each 設 定 that changed something changed, newest last, until undone.
  std::vector<std::vector<ColorChange>> undoSteps_;
};

}  // namespace varnelo
