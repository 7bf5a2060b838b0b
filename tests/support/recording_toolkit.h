// A stand-in for the windowing toolkit that records what the handlers ask of
// it, holds label colours the way the real window does (every 32-bit value,
// given back unchanged), and can be told to fail an operation.
#pragma once

#include "base/toolkit.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class RecordingToolkit : public varnelo::Toolkit {
 public:
  RecordingToolkit();

  void SetLabelForeColor(varnelo::LabelId label, varnelo::ColorValue colour) override;
  varnelo::ColorValue LabelForeColor(varnelo::LabelId label) const override;
  void SetLabelCaption(varnelo::LabelId label, std::wstring_view text) override;
  void MsgBox(std::wstring_view text) override;
  varnelo::VersionNumbers AppVersion() const override;
  HWND WindowHandle() const override;
  HINSTANCE InstanceHandle() const override;
  void EndProgram() override;

  // The n-th toolkit operation from now on (0-based) throws ToolkitError.
  void FailOperationAt(std::size_t n) { failAt_ = operations_ + n; }

  // Everything asked, in order, e.g. "SetLabelForeColor ColorT1 255".
  mutable std::vector<std::string> log;
  std::vector<std::wstring> messages;
  std::wstring label6Caption = L"v1.0.0";
  bool ended = false;

  static constexpr varnelo::ColorValue kDefaultTextColor =
      static_cast<varnelo::ColorValue>(0x80000012u);  // COLOR_BTNTEXT

 private:
  void Operation(const std::string& entry) const;

  std::map<varnelo::LabelId, varnelo::ColorValue> colors_;
  mutable std::size_t operations_ = 0;
  std::optional<std::size_t> failAt_;
};

}  // namespace testing_support
