#include "support/color_dialog.h"

namespace e2e {
namespace {

constexpr int kCustomRows = 2;
constexpr int kCustomColumns = 8;

}  // namespace

HWND OpenColorDialog(Varnelo& app) {
  // Posted: the handler does not return until the dialog closes.
  app.Click(varnelo::ids::Command1);
  return app.WaitForDialog();
}

std::array<std::wstring, 3> DialogColorTexts(HWND dialog) {
  std::array<std::wstring, 3> texts;
  const int boxes[] = {kDialogRed, kDialogGreen, kDialogBlue};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    // WM_GETTEXT rather than GetWindowText, which does not ask a window of
    // another process for an edit box's current text.
    wchar_t buffer[16] = {};
    SendWaiting(GetDlgItem(dialog, boxes[i]), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(buffer));
    texts[i] = buffer;
  }
  return texts;
}

void TypeDialogColor(HWND dialog, COLORREF colour) {
  const std::pair<int, BYTE> boxes[] = {{kDialogRed, GetRValue(colour)},
                                        {kDialogGreen, GetGValue(colour)},
                                        {kDialogBlue, GetBValue(colour)}};
  for (const auto& [box, value] : boxes) {
    const std::wstring text = std::to_wstring(value);
    SendWaiting(GetDlgItem(dialog, box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void PressDialogButton(HWND dialog, int id) {
  // Sent, not posted: a text typed next must not overtake the press.
  PressAndWait(GetDlgItem(dialog, id));
}

std::vector<COLORREF> CustomColors(HWND dialog) {
  const HWND area = GetDlgItem(dialog, kDialogCustom);
  const Pixels pixels = CapturePixels(area);
  std::vector<COLORREF> colours;
  if (pixels.data.empty()) return colours;
  // The boxes share the area evenly, 2 rows of 8; each box is a few pixels
  // smaller than its share, leaving a gap to its right and below it.
  const int cellWidth = pixels.width / kCustomColumns;
  const int cellHeight = pixels.height / kCustomRows;
  for (int row = 0; row < kCustomRows; ++row) {
    for (int column = 0; column < kCustomColumns; ++column) {
      colours.push_back(
          pixels.At(column * cellWidth + cellWidth / 2 - 2, row * cellHeight + cellHeight / 2 - 2));
    }
  }
  return colours;
}

std::vector<COLORREF> CustomColorsOnceDrawn(
    HWND dialog, const std::function<bool(const std::vector<COLORREF>&)>& drawn, DWORD ms) {
  return SampleUntil([&] { return CustomColors(dialog); }, drawn, ms, 100);
}

bool WaitClosed(Varnelo& app, HWND dialog, DWORD ms) {
  if (!Eventually([&] { return !IsWindow(dialog); }, ms)) return false;
  // The dialog goes before the handler that showed it returns; a message
  // sent now is handled after it.
  app.Settle();
  return true;
}

bool ChooseColor(Varnelo& app, COLORREF colour) {
  const HWND dialog = OpenColorDialog(app);
  if (dialog == nullptr) return false;
  TypeDialogColor(dialog, colour);
  PressDialogButton(dialog, IDOK);
  return WaitClosed(app, dialog);
}

}  // namespace e2e
