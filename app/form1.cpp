#include "app/form1.h"

#include "colordialog/color.h"
#include "registry/reg.h"

#include <charconv>
#include <string_view>

namespace varnelo {
namespace {

// ColorValue texts inside the window are always the decimal text of a 32-bit
// integer written by std::to_string, so the conversion back cannot fail.
ColorValue ColorFromText(const std::string& text) {
  ColorValue colour = 0;
  std::from_chars(text.data(), text.data() + text.size(), colour);
  return colour;
}

}  // namespace

bool IsExplicitColor(ColorValue colour) { return colour >= 0 && colour <= 0xFFFFFF; }

std::string Form1::ReadColor(const std::string& keyPath) const {
  const HKEY root = HKEY_CURRENT_USER;
  return Reg::RegDataText(
      Reg::ReadRegValue(root, keyPath, kColorValueName, Reg::KindNumber, std::string(kNotFound)));
}

void Form1::ShowColor(const std::string& colorText) {
  toolkit_.SetLabelForeColor(LabelId::ColorT1, ColorFromText(colorText));
  toolkit_.SetLabelForeColor(LabelId::ColorT2, ColorFromText(colorText));
}

void Form1::Form_Load() {
  const HKEY root = HKEY_CURRENT_USER;
  MsnKeyPath = kMsnKeyPath;
  ServiceKeyPath = kServiceKeyPath;
  MsnColor = ReadColor(MsnKeyPath);
  ServiceColor = ReadColor(ServiceKeyPath);
  PassportCount = Reg::EnumRegSubKeys(root, kPassportListPath, PassportIds);

  // The first location that has a colour is shown: MSN Messenger, then
  // Windows Messenger, then the last account key (in listing order) with one.
  if (MsnColor != kNotFound) {
    ShowColor(MsnColor);
  } else if (ServiceColor != kNotFound) {
    ShowColor(ServiceColor);
  } else if (PassportCount < 1) {
    toolkit_.MsgBox(kNotInstalledMessage);
    toolkit_.EndProgram();
    return;
  } else {
    const auto upper = static_cast<std::int32_t>(PassportIds.size()) - 1;
    for (PassportIndex = 0; PassportIndex <= upper; ++PassportIndex) {
      PassportKeyPath = kPassportKeyPrefix + PassportIds[static_cast<std::size_t>(PassportIndex)];
      PassportColor = ReadColor(PassportKeyPath);
      if (PassportColor != kNotFound) ShowColor(PassportColor);
    }
  }

  const VersionNumbers version = toolkit_.AppVersion();
  toolkit_.SetLabelCaption(LabelId::Label6, L"v" + std::to_wstring(version.major) + L"." +
                                                std::to_wstring(version.minor) + L"." +
                                                std::to_wstring(version.revision));
}

void Form1::Command1_Click() {
  const HWND owner = toolkit_.WindowHandle();
  PickedColor = std::to_string(Color::PickColor(owner, toolkit_));
  // 0 (cancel, or black) and -2 (out of range) leave the selection as it is.
  if (ColorFromText(PickedColor) > 0) {
    toolkit_.SetLabelForeColor(LabelId::ColorT1, ColorFromText(PickedColor));
  }
}

void Form1::Command2_Click() { toolkit_.EndProgram(); }

void Form1::Command3_Click() {
  const HKEY root = HKEY_CURRENT_USER;
  const ColorValue selected = toolkit_.LabelForeColor(LabelId::ColorT1);
  ApplyColor = std::to_string(selected);
  // Until a colour has been found or chosen, ColorT1 holds the reference to
  // the window colour (0x80000005). That is no Messenger colour: write nothing.
  if (!IsExplicitColor(selected)) return;

  MsnKeyPath = kMsnKeyPath;
  ServiceKeyPath = kServiceKeyPath;
  PassportCount = Reg::EnumRegSubKeys(root, kPassportListPath, PassportIds);
  MsnColor = ReadColor(MsnKeyPath);

  // Failed writes are not reported and do not stop the rest. MSN Messenger
  // is written if it has a value now; Windows Messenger if it had one at
  // start-up; every account key listed now, whether or not it had a value.
  const std::string value = ApplyColor;
  if (MsnColor != kNotFound) {
    Reg::WriteRegValue(root, MsnKeyPath, kColorValueName, Reg::KindNumber, value);
  }
  if (ServiceColor != kNotFound) {
    Reg::WriteRegValue(root, ServiceKeyPath, kColorValueName, Reg::KindNumber, value);
  }
  if (PassportCount > 0) {
    const auto upper = static_cast<std::int32_t>(PassportIds.size()) - 1;
    for (PassportIndex = 0; PassportIndex <= upper; ++PassportIndex) {
      PassportKeyPath = kPassportKeyPrefix + PassportIds[static_cast<std::size_t>(PassportIndex)];
      Reg::WriteRegValue(root, PassportKeyPath, kColorValueName, Reg::KindNumber, value);
    }
  }

  toolkit_.SetLabelForeColor(LabelId::ColorT2, toolkit_.LabelForeColor(LabelId::ColorT1));
}

}  // namespace varnelo
