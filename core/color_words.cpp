#include "core/color_words.h"

#include "base/decimal.h"
#include "core/messenger_colors.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace varnelo {
namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

struct NamedColor {
  std::uint32_t rgb;  // 0xRRGGBB, web order
  const wchar_t* name;
};

// Plain names a reader knows, spread over the colours; greys at four
// lightnesses so that every grey has one. Nearest first on a tie.
constexpr std::array<NamedColor, 25> kNames{{
    {0x000000, L"黒"},   {0x404040, L"濃い灰色"}, {0x808080, L"灰色"},   {0xC0C0C0, L"銀色"},
    {0xFFFFFF, L"白"},   {0xFF0000, L"赤"},       {0x800000, L"暗い赤"}, {0xFFA0C0, L"桃色"},
    {0xFF8000, L"橙"},   {0x804000, L"茶色"},     {0xFFFF00, L"黄"},     {0x808000, L"オリーブ色"},
    {0x99CC00, L"黄緑"}, {0x00FF00, L"明るい緑"}, {0x008000, L"緑"},     {0x004000, L"深緑"},
    {0x008080, L"青緑"}, {0x00FFFF, L"水色"},     {0x80C0FF, L"空色"},   {0x0080FF, L"明るい青"},
    {0x0000FF, L"青"},   {0x000080, L"紺"},       {0x800080, L"紫"},     {0xFF00FF, L"赤紫"},
    {0xCC99FF, L"薄紫"},
}};

struct Lab {
  double l, a, b;
};

// An sRGB channel (0-255) as linear light.
double Linear(std::uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LabF(double t) {
  constexpr double kDelta = 6.0 / 29.0;
  return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

// sRGB to CIELAB under D65.
Lab ToLab(std::uint32_t rgb) {
  const double r = Linear(rgb >> 16), g = Linear((rgb >> 8) & 0xFF), b = Linear(rgb & 0xFF);
  const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
  const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
  const double fx = LabF(x), fy = LabF(y), fz = LabF(z);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double Distance(const Lab& p, const Lab& q) {
  return std::sqrt((p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) +
                   (p.b - q.b) * (p.b - q.b));
}

// The colour a value draws as, 0xRRGGBB: a stored 0x00BBGGRR's low 24 bits.
std::uint32_t WebOrder(ColorValue color) {
  const auto raw = static_cast<std::uint32_t>(color);
  return (raw & 0xFF) << 16 | (raw & 0xFF00) | (raw >> 16 & 0xFF);
}

std::wstring FromAscii(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

}  // namespace

std::optional<int> SystemColorIndex(ColorValue color) {
  const auto raw = static_cast<std::uint32_t>(color);
  if ((raw & 0x80000000u) == 0 || (raw & 0x7FFFFFFFu) > 30) return std::nullopt;
  return static_cast<int>(raw & 0x7FFFFFFFu);
}

const wchar_t* NearestColorName(ColorValue color) {
  const Lab lab = ToLab(WebOrder(color));
  const NamedColor* nearest = nullptr;
  double best = std::numeric_limits<double>::max();
  for (const NamedColor& named : kNames) {
    const double distance = Distance(lab, ToLab(named.rgb));
    if (distance < best) best = distance, nearest = &named;
  }
  return best <= kNameDistance ? nearest->name : nullptr;
}

std::wstring ColorValueText(ColorValue color) {
  if (SystemColorIndex(color)) return L"なし";
  return FromAscii(WebColor(color));
}

int ContrastWithWhite(ColorValue color) {
  const std::uint32_t rgb = WebOrder(color);
  const double luminance =
      0.2126 * Linear(rgb >> 16) + 0.7152 * Linear(rgb >> 8 & 0xFF) + 0.0722 * Linear(rgb & 0xFF);
  // White's luminance is 1; the 0.05 stands for the light a screen reflects.
  // The small addition keeps a ratio that is a whole hundredth from falling
  // below it by a rounding error.
  return static_cast<int>(std::floor(1.05 / (luminance + 0.05) * 100 + 1e-9));
}

Readability ReadabilityOf(int contrast) {
  if (contrast >= 450) return Readability::Good;
  return contrast >= 300 ? Readability::Fair : Readability::Poor;
}

std::string ContrastFigure(int contrast) {
  std::string figure = Decimal(contrast / 100);
  const int hundredths = contrast % 100;
  if (hundredths != 0) {
    figure += '.' + Decimal(hundredths / 10);
    if (hundredths % 10 != 0) figure += Decimal(hundredths % 10);
  }
  return figure;
}

std::wstring ColorInWords(ColorValue color) {
  if (SystemColorIndex(color)) return L"まだ Messenger の色を表示していません";
  const std::uint32_t rgb = WebOrder(color);
  std::wstring words;
  if (const wchar_t* name = NearestColorName(color)) words = std::wstring(name) + L"。";
  const int contrast = ContrastWithWhite(color);
  words += L"赤 " + Decimal<wchar_t>(rgb >> 16) + L"、緑 " + Decimal<wchar_t>(rgb >> 8 & 0xFF) +
           L"、青 " + Decimal<wchar_t>(rgb & 0xFF) + L"。白い背景とのコントラスト比 " +
           FromAscii(ContrastFigure(contrast)) + L" 対 1";
  switch (ReadabilityOf(contrast)) {
    case Readability::Good: break;
    case Readability::Fair: words += L"、やや読みにくい色です"; break;
    case Readability::Poor: words += L"、読みにくい色です"; break;
  }
  return words;
}

std::wstring ColorTip(ColorValue color) {
  return ColorValueText(color) + L" " + ColorInWords(color);
}

std::wstring ApplyDescription(ColorValue selected) {
  if (!IsExplicitColor(selected)) return L"色が選ばれていないため、何も書き込みません";
  return ColorValueText(selected) + L" を Messenger に書き込みます。" + ColorInWords(selected);
}

std::wstring SpokenCaption(std::wstring_view caption) {
  std::wstring word;
  for (const wchar_t c : caption) {
    if (c != L' ') word += c;
  }
  return word;
}

std::optional<ColorValue> ParseWebColor(std::wstring_view text) {
  if (text.starts_with(L'#')) text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  std::uint32_t rgb = 0;
  for (const wchar_t c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
  }
  const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  return static_cast<ColorValue>(red | green << 8 | blue << 16);
}

std::string WebColor(ColorValue color) {
  constexpr char kHex[] = "0123456789ABCDEF";
  const auto raw = static_cast<std::uint32_t>(color);
  std::string out = "#";
  for (const std::uint32_t byte : {raw & 0xFF, (raw >> 8) & 0xFF, (raw >> 16) & 0xFF}) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

}  // namespace varnelo
