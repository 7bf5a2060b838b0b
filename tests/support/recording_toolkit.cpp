#include "support/recording_toolkit.h"

namespace testing_support {
namespace {

const char* Name(varnelo::LabelId label) {
  switch (label) {
    case varnelo::LabelId::ColorT1: return "ColorT1";
    case varnelo::LabelId::ColorT2: return "ColorT2";
    case varnelo::LabelId::Label6: return "Label6";
  }
  return "?";
}

}  // namespace

RecordingToolkit::RecordingToolkit()
    : colors_{{varnelo::LabelId::ColorT1, varnelo::kSysColorWindow},
              {varnelo::LabelId::ColorT2, kDefaultTextColor},
              {varnelo::LabelId::Label6, kDefaultTextColor}} {}

void RecordingToolkit::Operation(const std::string& entry) const {
  if (!failOn_.empty() && entry.starts_with(failOn_)) {
    failOn_.clear();
    failureRaised = true;
    log.push_back("FAILED " + entry);
    throw varnelo::ToolkitError("scripted failure: " + entry);
  }
  log.push_back(entry);
}

void RecordingToolkit::SetLabelForeColor(varnelo::LabelId label, varnelo::ColorValue colour) {
  Operation(std::string("SetLabelForeColor ") + Name(label) + " " + std::to_string(colour));
  colors_[label] = colour;
}

varnelo::ColorValue RecordingToolkit::LabelForeColor(varnelo::LabelId label) const {
  Operation(std::string("LabelForeColor ") + Name(label));
  return colors_.at(label);
}

void RecordingToolkit::SetLabelCaption(varnelo::LabelId label, std::wstring_view text) {
  Operation(std::string("SetLabelCaption ") + Name(label));
  if (label == varnelo::LabelId::Label6) label6Caption = text;
}

void RecordingToolkit::MsgBox(std::wstring_view text, varnelo::MessageKind kind) {
  Operation(kind == varnelo::MessageKind::Warning ? "MsgBox warning" : "MsgBox");
  messages.emplace_back(text);
}

varnelo::VersionNumbers RecordingToolkit::AppVersion() const {
  Operation("AppVersion");
  return {1, 5, 1};
}

HWND RecordingToolkit::WindowHandle() const {
  Operation("WindowHandle");
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
}

HINSTANCE RecordingToolkit::InstanceHandle() const {
  Operation("InstanceHandle");
  return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x400000));
}

void RecordingToolkit::EndProgram() {
  Operation("EndProgram");
  ended = true;
}

}  // namespace testing_support
