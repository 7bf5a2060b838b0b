// Form1: the program's one window, as its handlers see it: the window-level
// state and the handlers of its four events. Layout and drawing live in the
// Win32 toolkit; this class only talks to the Toolkit interface and to the
// Messenger colour rules (messenger_colors.h) and the Color module, so it
// runs the same against stand-ins in tests.
#pragma once

#include "app/messenger_colors.h"
#include "base/toolkit.h"

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

  // Window-level state, shared by the handlers for the whole run. Colours
  // travel as decimal text; "Error" marks a value that was not found.
  std::string PickedColor;
  std::string MsnKeyPath;
  std::string ServiceKeyPath;
  std::string PassportKeyPath;
  std::string MsnColor;
  std::string ServiceColor;
  std::string PassportColor;
  std::string ApplyColor;
  std::int32_t PassportCount = 0;
  std::vector<std::string> PassportIds;
  std::vector<bool> PassportIdMisspelt;  // per listed id: not the key's own name
  std::int32_t PassportIndex = 0;

 private:
  void ShowColor(const std::string& colorText);

  Toolkit& toolkit_;
};

}  // namespace varnelo
