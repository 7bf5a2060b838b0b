#include "app/win32/fonts.h"

#include <span>

namespace varnelo {
namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face, BYTE charset) {
  LOGFONTW query{};
  query.lfCharSet = charset;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The named face, or for a missing Japanese face the first installed one of
// the same pitch that holds Japanese; failing all, GDI's pick for the charset.
std::wstring ChooseFace(HDC dc, const FontSpec& font) {
  if (FaceInstalled(dc, font.face, font.charset)) return font.face;
  if (font.charset != SHIFTJIS_CHARSET) return font.face;  // GDI substitutes Latin faces well
  const bool fixedPitch = std::wstring_view(font.face) == kGothic;
  // IPA and VL faces are drawn to the metrics of the MS faces, so the texts
  // fit their labels as laid out.
  static const wchar_t* const kProportional[] = {
      L"MS PGothic", L"IPAPGothic",   L"VL PGothic",       L"MS UI Gothic", L"Meiryo UI",
      L"Meiryo",     L"Yu Gothic UI", L"Noto Sans CJK JP", L"Noto Sans JP"};
  static const wchar_t* const kFixed[] = {
      L"MS Gothic",        L"IPAGothic",    L"VL Gothic", L"Noto Sans Mono CJK JP",
      L"Noto Sans CJK JP", L"MS UI Gothic", L"Meiryo"};
  const std::span<const wchar_t* const> candidates =
      fixedPitch ? std::span<const wchar_t* const>(kFixed)
                 : std::span<const wchar_t* const>(kProportional);
  for (const wchar_t* face : candidates) {
    if (FaceInstalled(dc, face, font.charset)) return face;
  }
  return L"";
}

// Guides GDI's own pick where no named face is installed: ＭＳ ゴシック is
// fixed pitch, the other faces proportional sans-serif.
BYTE PitchAndFamily(const FontSpec& font) {
  if (std::wstring_view(font.face) == kGothic) return FIXED_PITCH | FF_MODERN;
  return VARIABLE_PITCH | FF_SWISS;
}

}  // namespace

const std::wstring& FontMaker::Face(const FontSpec& font) {
  auto chosen = faces_.find(font.face);
  if (chosen == faces_.end()) {
    const HDC screen = GetDC(nullptr);
    chosen = faces_.emplace(font.face, ChooseFace(screen, font)).first;
    ReleaseDC(nullptr, screen);
  }
  return chosen->second;
}

GdiObject<HFONT> FontMaker::Make(const FontSpec& font) {
  const int height = -MulDiv(font.hundredthsOfPoint, dpi_, 7200);  // 72 points an inch
  return GdiObject<HFONT>(CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                      font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, PitchAndFamily(font), Face(font).c_str()));
}

}  // namespace varnelo
