// A stand-in for the windowing toolkit that records what the handlers ask of
// it, holds label colours the way the real window does (every 32-bit value,
// given back unchanged), and can be told to fail an operation.
#pragma once

#include "app/toolkit.h"

#include <map>
#include <string>
#include <vector>

namespace testing_support {

class RecordingToolkit : public varnelo::Toolkit {
 public:
  RecordingToolkit();

  void SetLabelForeColor(varnelo::LabelId label, varnelo::ColorValue colour) override;
  varnelo::ColorValue LabelForeColor(varnelo::LabelId label) const override;
  void SetLabelCaption(varnelo::LabelId label, std::wstring_view text) override;
  void MsgBox(std::wstring_view text, varnelo::MessageKind kind) override;
  varnelo::VersionNumbers AppVersion() const override;
  HWND WindowHandle() const override;
  HINSTANCE InstanceHandle() const override;
  void EndProgram() override;

  // The next time `operation` is asked, it throws ToolkitError: a log entry
  // (below) that starts with it, e.g. "SetLabelForeColor ColorT2" or
  // "InstanceHandle". FailOn("") asks for no failure.
  void FailOn(std::string operation) {
    failOn_ = std::move(operation);
    failureRaised = false;
  }
  // Whether the failure asked for has been raised.
  mutable bool failureRaised = false;

  // Everything asked, in order, e.g. "SetLabelForeColor ColorT1 255".
  mutable std::vector<std::string> log;
  std::vector<std::wstring> messages;
  std::wstring label6Caption = L"v1.0.0";
  bool ended = false;

  static constexpr varnelo::ColorValue kDefaultTextColor = varnelo::kSysColorButtonText;

 private:
  void Operation(const std::string& entry) const;

  std::map<varnelo::LabelId, varnelo::ColorValue> colors_;
  mutable std::string failOn_;
};

}  // namespace testing_support
