#include "app/form1.h"

#include "app/window_texts.h"
#include "colordialog/color.h"

#include <utility>

namespace varnelo {

void Form1::ShowColor(const std::string& colorText) {
  toolkit_.SetLabelForeColor(LabelId::ColorT1, ColorFromText(colorText));
  toolkit_.SetLabelForeColor(LabelId::ColorT2, ColorFromText(colorText));
}

void Form1::Form_Load() {
  MsnKeyPath = kMsnKeyPath;
  ServiceKeyPath = kServiceKeyPath;
  messenger_ = ReadProfile();
  if (!messenger_.Installed()) {
    toolkit_.MsgBox(kNotInstalledMessage);
    toolkit_.EndProgram();
    return;
  }

  // The account keys are read only when neither Messenger key has a colour.
  std::vector<std::string> accountColors;
  if (MsnColor() == kNotFound && ServiceColor() == kNotFound) {
    accountColors = ReadAccountColors(messenger_.accountIds, messenger_.misspelt);
    PassportIndex = static_cast<std::int32_t>(PassportIds().size());  // where the listing ended
    PassportKeyPath = AccountKeyPath(PassportIds().back());           // the last one read
    PassportColor = accountColors.back();
  }
  // Shown once, before the window is: the labels are not redrawn per account.
  if (const std::string shown = ShownColor(MsnColor(), ServiceColor(), accountColors);
      shown != kNotFound) {
    ShowColor(shown);
  }

  toolkit_.SetLabelCaption(LabelId::Label6, VersionCaption(toolkit_.AppVersion()));
}

void Form1::Command1_Click() {
  const HWND owner = toolkit_.WindowHandle();
  PickedColor = ColorText(Color::PickColor(owner, toolkit_));
  // 0 (cancel, or black) and -2 (out of range) leave the selection as it is.
  if (ColorFromText(PickedColor) > 0) {
    toolkit_.SetLabelForeColor(LabelId::ColorT1, ColorFromText(PickedColor));
  }
}

void Form1::Command2_Click() { toolkit_.EndProgram(); }

void Form1::Command3_Click() {
  const ColorValue selected = toolkit_.LabelForeColor(LabelId::ColorT1);
  ApplyColor = ColorText(selected);
  // Until a colour has been found or chosen, ColorT1 holds the reference to
  // the window colour (0x80000005). That is no Messenger colour: write nothing.
  if (!IsExplicitColor(selected)) return;

  MsnKeyPath = kMsnKeyPath;
  ServiceKeyPath = kServiceKeyPath;
  messenger_.accountCount = ListAccounts(messenger_.accountIds, messenger_.misspelt);
  messenger_.msnColor = ReadColor(MsnKeyPath);

  std::vector<ColorWrite> writes = WriteColorEverywhere(ApplyColor, messenger_);
  const std::vector<LocationStatus> notWritten = NotWritten(writes);
  const std::size_t written = writes.size() - notWritten.size();
  // A press that changed nothing (the second of a double-click) is no step.
  if (std::vector<ColorChange> changes = ChangesMade(std::move(writes), ApplyColor);
      !changes.empty()) {
    undoSteps_.push_back(std::move(changes));
  }
  if (PassportCount() > 0) {
    PassportIndex = PassportCount();
    PassportKeyPath = AccountKeyPath(PassportIds().back());
  }

  toolkit_.SetLabelForeColor(LabelId::ColorT2, toolkit_.LabelForeColor(LabelId::ColorT1));
  if (!notWritten.empty()) {
    toolkit_.MsgBox(ApplyFailedText(notWritten, written), MessageKind::Warning);
  }
}

Profile Form1::LocationsNow() const {
  Profile now;
  now.msnColor = ReadColor(kMsnKeyPath);
  now.serviceColor = messenger_.serviceColor;
  now.accountCount = ListAccounts(now.accountIds, now.misspelt);
  return now;
}

void Form1::Undo_Click() {
  if (!CanUndo()) return;
  PutBackResult result = PutBack(std::move(undoSteps_.back()));
  // What could not be written back stays the newest step, to be tried again.
  if (result.stillToUndo.empty()) {
    undoSteps_.pop_back();
  } else {
    undoSteps_.back() = std::move(result.stillToUndo);
  }
  // As a start-up now would show it; the selected colour stays.
  const std::string shown = ShownColorNow();
  toolkit_.SetLabelForeColor(LabelId::ColorT2,
                             shown != kNotFound ? ColorFromText(shown) : kSysColorButtonText);
  if (const std::wstring text = UndoFailedText(result); !text.empty()) {
    toolkit_.MsgBox(text, MessageKind::Warning);
  }
}

}  // namespace varnelo
