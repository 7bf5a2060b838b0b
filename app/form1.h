// Form1: the program's one window, as its handlers see it: the window-level
// state and the handlers of its four events. Layout and drawing live in the
// Win32 toolkit; this class only talks to the Toolkit interface and to the
// Messenger colour rules (messenger_colors.h) and the Color module, so it
// runs the same against stand-ins in tests.
#pragma once

#include "core/messenger_colors.h"
#include "app/toolkit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnelo {

inline constexpr wchar_t kNotInstalledMessage[] =
    L"Messengerがインストールされていないか対応していないバージョンです。";

class Form1 {
 public:
  explicit Form1(Toolkit& toolkit) : toolkit_(toolkit) {}
  Form1(const Form1&) = delete;  // the names below refer into this window's own state
  Form1& operator=(const Form1&) = delete;

  // Runs once before the window is first shown.
  void Form_Load();
  void Command1_Click();  // choose a colour
  void Command2_Click();  // close
  void Command3_Click();  // write the selected colour to every Messenger location
  // 元に戻す (system menu): put back what the last 設 定 overwrote, once.
  void Undo_Click();
  // Whether there is a 設 定 to undo: one has written in this run, and it
  // has not been undone.
  [[nodiscard]] bool CanUndo() const { return !overwritten_.Empty(); }

  // Window-level state, shared by the handlers for the whole run. Colours
  // travel as decimal text; "Error" marks a value that was not found.
  std::string PickedColor;
  std::string MsnKeyPath;
  std::string ServiceKeyPath;
  std::string PassportKeyPath;
  std::string PassportColor;
  std::string ApplyColor;
  std::int32_t PassportIndex = 0;

 private:
  // What the window knows of the Messenger locations, in the form the colour
  // rules take it; the handlers use it through the names below.
  Profile messenger_;
  // What the last 設 定 that wrote overwrote, until it is undone.
  Overwritten overwritten_;

 public:
  std::string& MsnColor = messenger_.msnColor;
  std::string& ServiceColor = messenger_.serviceColor;
  std::int32_t& PassportCount = messenger_.accountCount;
  std::vector<std::string>& PassportIds = messenger_.accountIds;
  std::vector<bool>& PassportIdMisspelt = messenger_.misspelt;  // per listed id: not its own name

 private:
  void ShowColor(const std::string& colorText);

  Toolkit& toolkit_;
};

}  // namespace varnelo
