// The controls' fonts: the faces Form1 is laid out for, with Japanese
// fallbacks of the same pitch where a face is not installed.
#pragma once

#include "app/win32/gdi_object.h"

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace varnelo {

struct FontSpec {
  const wchar_t* face;
  int hundredthsOfPoint;  // 975 = 9.75 pt: exact, and scaled once from it
  int weight;
  BYTE charset;
};

inline constexpr wchar_t kPGothic[] = L"ＭＳ Ｐゴシック";
inline constexpr wchar_t kGothic[] = L"ＭＳ ゴシック";

// Makes the fonts of one window. Each face is looked up once, however many
// controls use it.
class FontMaker {
 public:
  explicit FontMaker(int dpi) : dpi_(dpi) {}
  GdiObject<HFONT> Make(const FontSpec& font);

 private:
  const std::wstring& Face(const FontSpec& font);

  int dpi_;
  std::map<std::wstring_view, std::wstring> faces_;
};

}  // namespace varnelo
