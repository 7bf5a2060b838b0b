// 色を保存 from the system menu of the real varnelo.exe under Wine, chosen
// from the keyboard: the file it saves puts the colours back after a later
// 設 定 (Wine's reg import), Windows Messenger's too where its value went
// after start-up, and a cancelled save writes nothing. A path too
// long for the dialog is refused with a message, and the window lives on.
#include "support/color_dialog.h"
#include "support/driver.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace e2e {
namespace {

using SystemMenuTest = ClearedMessengerTest;

TEST_F(SystemMenuTest, SavedColoursPutBackALaterSetAndCancelWritesNothing) {
  // The Save dialog's own memory of the folders it saved in (Windows' and
  // Wine's alike), not the program's.
  const char kDialogsOwn[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32";
  hive.DeleteKey(kDialogsOwn);
  hive.SetRaw(kMsn, kValue, REG_DWORD, Le32(kRed));
  hive.SetText(kService, kValue, "a");
  hive.CreateKey(Account("A"));
  SYSTEMTIME today{};
  GetLocalTime(&today);
  wchar_t offered[32] = {};
  std::swprintf(offered, std::size(offered), L"im-colours-%04u%02u%02u.reg", today.wYear,
                today.wMonth, today.wDay);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = temp + (L"varnelo-saved-" + std::to_wstring(GetCurrentProcessId()));
  for (const int button : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(button == IDOK ? "saved" : "cancelled");
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    // Gone from outside after start-up, Windows Messenger's value is still
    // one that 設 定 writes: the saved file must hold it.
    if (button == IDOK) hive.DeleteValue(kService, kValue);
    const Tree before = hive.Snapshot();
    ASSERT_TRUE(app.ChooseFromSystemMenu('E'));
    const HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no Save dialog";
    // The file name: the item dialog's Edit (edt1), or in the old dialog an
    // Edit in a ComboBox in a ComboBoxEx32, all with id cmb13.
    HWND name = GetDlgItem(dialog, 0x480);
    for (HWND inner = GetDlgItem(dialog, 0x47C); name == nullptr && inner != nullptr;
         inner = GetDlgItem(inner, 0x47C)) {
      if (GetDlgItem(inner, 0x47C) == nullptr) name = inner;
    }
    wchar_t shown[64] = {};
    SendMessageW(name, WM_GETTEXT, std::size(shown), reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, offered);
    if (button == IDCANCEL) {  // a path Wine's dialogs cannot hold: they used to crash on it
      const std::wstring tooLong = L"C:\\" + std::wstring(300, L'x') + L".reg";
      SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tooLong.c_str()));
      Click(GetDlgItem(dialog, IDOK));
      HWND box = nullptr;
      for (int tries = 0; box == nullptr && tries < 100; ++tries, Sleep(100)) {
        box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
        while (box != nullptr && GetWindow(box, GW_OWNER) != dialog)
          box = FindWindowExW(nullptr, box, L"#32770", nullptr);
      }
      ASSERT_NE(box, nullptr) << "no message about the path";
      EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find(L"パスが長すぎます"), std::wstring::npos);
      PressAndWait(GetDlgItem(box, IDOK));
      ASSERT_TRUE(WaitClosed(app, box));
      EXPECT_TRUE(IsWindowVisible(dialog)) << "the Save dialog stays";
    }
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PressAndWait(GetDlgItem(dialog, button));
    ASSERT_TRUE(WaitClosed(app, dialog));
    hive.DeleteKey(kDialogsOwn);
    EXPECT_EQ(hive.ChangesSince(before), "") << "色を保存 only reads";
    EXPECT_EQ(FileBytes(file + L".reg").starts_with("\xFF\xFE"), button == IDOK)
        << "a registry file (UTF-16) if saved";
    if (button == IDOK) {  // 設 定, the file imported; 元に戻す then changes nothing but ColorT2
      std::vector<bool> drawnEnabled;  // 色を保存, 元に戻す, Wine's items
      ASSERT_TRUE(app.ChooseFromSystemMenu('U', &drawnEnabled));
      ASSERT_GT(drawnEnabled.size(), 2u);
      EXPECT_FALSE(drawnEnabled[1]) << "元に戻す greyed before 設 定: nothing happens";
      ASSERT_TRUE(e2e::ChooseColor(app, kBlue));
      ASSERT_TRUE(app.PressAndWait(ids::Command3));
      ASSERT_NE(hive.ChangesSince(before), "");
      EXPECT_EQ(Process(L"reg.exe import \"" + file + L".reg\"").WaitForExit(20000), 0u);
      EXPECT_EQ(hive.ChangesSince(before), "") << "reg import of the saved file";
      ASSERT_TRUE(app.ChooseFromSystemMenu('U', &drawnEnabled));
      ASSERT_GT(drawnEnabled.size(), 2u);
      EXPECT_TRUE(drawnEnabled[1]) << "元に戻す enabled after 設 定";
      EXPECT_EQ(InkOnceDrawn(app.Control(ids::ColorT2), {kRed}), Ink{kRed})
          << "as a start-up shows";
      EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), Ink{kBlue}) << "the choice stays";
      EXPECT_EQ(hive.ChangesSince(before), "");
      EXPECT_TRUE(DeleteFileW((file + L".reg").c_str()));
    }
    app.CloseWithButton();
  }
}

}  // namespace
}  // namespace e2e
