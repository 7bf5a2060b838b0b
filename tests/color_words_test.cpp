// The colour as words (what a screen reader and the samples' tooltips say)
// and the colour a label's text is drawn in under high contrast.
#include "core/color_words.h"
#include "app/text_colors.h"

#include <gtest/gtest.h>

namespace {

using varnelo::ColorValue;

// A stored colour (0x00BBGGRR) from web order 0xRRGGBB, and any raw value.
constexpr ColorValue Stored(std::uint32_t rgb) {
  return static_cast<ColorValue>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16);
}
constexpr ColorValue Raw(std::uint32_t value) { return static_cast<ColorValue>(value); }

TEST(ColorWordsTest, NearestName) {
  // clang-format off
  const std::pair<ColorValue, const wchar_t*> cases[] = {  // nullptr: no name close enough
      // Each name's own colour.
      {Stored(0x000000), L"黒"}, {Stored(0x404040), L"濃い灰色"}, {Stored(0x808080), L"灰色"},
      {Stored(0xC0C0C0), L"銀色"}, {Stored(0xFFFFFF), L"白"}, {Stored(0xFF0000), L"赤"},
      {Stored(0x800000), L"暗い赤"}, {Stored(0xFFA0C0), L"桃色"}, {Stored(0xFF8000), L"橙"},
      {Stored(0x804000), L"茶色"}, {Stored(0xFFFF00), L"黄"}, {Stored(0x808000), L"オリーブ色"},
      {Stored(0x99CC00), L"黄緑"}, {Stored(0x00FF00), L"明るい緑"}, {Stored(0x008000), L"緑"},
      {Stored(0x004000), L"深緑"}, {Stored(0x008080), L"青緑"}, {Stored(0x00FFFF), L"水色"},
      {Stored(0x80C0FF), L"空色"}, {Stored(0x0080FF), L"明るい青"}, {Stored(0x0000FF), L"青"},
      {Stored(0x000080), L"紺"}, {Stored(0x800080), L"紫"}, {Stored(0xFF00FF), L"赤紫"},
      {Stored(0xCC99FF), L"薄紫"},
      // Near ones; every grey is near one of four.
      {Stored(0xFE0000), L"赤"}, {Stored(0xFFA500), L"橙"}, {Stored(0xFFC0CB), L"桃色"},
      {Stored(0xA52A2A), L"暗い赤"}, {Stored(0x202020), L"黒"}, {Stored(0x303030), L"濃い灰色"},
      {Stored(0xB0B0B0), L"銀色"}, {Stored(0xF5F5DC), L"白"},
      // The edge: 24.85 from 赤 is near; 25.07 from 茶色 and 25.15 from 黄 are not.
      {Stored(0xE80830), L"赤"}, {Stored(0xC08040), nullptr}, {Stored(0xF0D018), nullptr},
      {Stored(0xFF8080), nullptr}, {Stored(0xFF69B4), nullptr},
      // Only the low 24 bits count, as when drawn.
      {Raw(0x7F0000FF), L"赤"}, {Raw(0x81FF0000), L"青"},
  };
  // clang-format on
  for (const auto& [color, expected] : cases) {
    const wchar_t* name = varnelo::NearestColorName(color);
    EXPECT_EQ(name ? name : L"-", std::wstring(expected ? expected : L"-")) << std::hex << color;
  }
}

TEST(ColorWordsTest, ValueWordsAndTip) {
  const std::tuple<ColorValue, const wchar_t*, const wchar_t*> cases[] = {
      {Stored(0x800080), L"#800080",
       L"紫。赤 128、緑 0、青 128。白い背景とのコントラスト比 9.41 対 1"},
      {Stored(0xC08040), L"#C08040",
       L"赤 192、緑 128、青 64。白い背景とのコントラスト比 3.27 対 1、やや読みにくい色です"},
      {Raw(0x80000005), L"なし", L"まだ Messenger の色を表示していません"},
      {Raw(0x8000001E), L"なし", L"まだ Messenger の色を表示していません"},
      // Past the last system colour, or not one: drawn as the low 24 bits.
      {Raw(0x8000001F), L"#1F0000",
       L"黒。赤 31、緑 0、青 0。白い背景とのコントラスト比 19.84 対 1"},
      {Raw(0x7FFFFFFF), L"#FFFFFF",
       L"白。赤 255、緑 255、青 255。白い背景とのコントラスト比 1 対 1、読みにくい色です"},
      {Stored(0x000000), L"#000000", L"黒。赤 0、緑 0、青 0。白い背景とのコントラスト比 21 対 1"},
  };
  for (const auto& [color, value, words] : cases) {
    EXPECT_EQ(varnelo::ColorValueText(color), value) << std::hex << color;
    EXPECT_EQ(varnelo::ColorInWords(color), words) << std::hex << color;
    EXPECT_EQ(varnelo::ColorTip(color), std::wstring(value) + L" " + words);
  }
  // The contrast, rounded down so that it never reads better than it is:
  // #FFFF99 (1.049), and each side of 4.5:1 and of 3:1.
  using enum varnelo::Readability;
  const std::tuple<ColorValue, const char*, varnelo::Readability> contrasts[] = {
      {Stored(0xFFFF99), "1.04", Poor}, {Stored(0x7C7290), "4.5", Good},
      {Stored(0x9A6C5A), "4.49", Fair}, {Stored(0xE969A1), "3", Fair},
      {Stored(0x989A30), "2.99", Poor},
  };
  for (const auto& [color, figure, readability] : contrasts) {
    const int contrast = varnelo::ContrastWithWhite(color);
    EXPECT_EQ(varnelo::ContrastFigure(contrast), figure) << std::hex << color;
    EXPECT_EQ(varnelo::ReadabilityOf(contrast), readability) << std::hex << color;
  }
}

TEST(ColorWordsTest, WhatApplyWouldWriteAndButtonNames) {
  constexpr wchar_t kNothing[] = L"色が選ばれていないため、何も書き込みません";
  // clang-format off
  const std::pair<ColorValue, const wchar_t*> cases[] = {
      {Stored(0x0000FF),
       L"#0000FF を Messenger に書き込みます。青。赤 0、緑 0、青 255。"
       L"白い背景とのコントラスト比 8.59 対 1"},
      {Stored(0xFFFFFF),
       L"#FFFFFF を Messenger に書き込みます。白。赤 255、緑 255、青 255。"
       L"白い背景とのコントラスト比 1 対 1、読みにくい色です"},
      {Raw(0x80000005), kNothing}, {Raw(0x01000000), kNothing}, {ColorValue{-2}, kNothing},
  };
  // clang-format on
  for (const auto& [selected, description] : cases)
    EXPECT_EQ(varnelo::ApplyDescription(selected), description) << std::hex << selected;

  const std::pair<const wchar_t*, const wchar_t*> captions[] = {
      {L"色 選 択", L"色選択"}, {L"設 定", L"設定"}, {L"閉 じ る", L"閉じる"},
      {L"閉じる", L"閉じる"},   {L"", L""},          {L" 設　定 ", L"設　定"},  // ASCII spaces only
  };
  for (const auto& [caption, spoken] : captions) EXPECT_EQ(varnelo::SpokenCaption(caption), spoken);
}

TEST(TextColorsTest, HighContrastGivesFixedColoursTheSchemesText) {
  constexpr ColorValue kWindow = varnelo::kSysColorWindow, kBtnFace = varnelo::kSysColorButtonFace;
  constexpr ColorValue kBtnText = varnelo::kSysColorButtonText, kGray = varnelo::kSysColorGrayText;
  constexpr ColorValue kWindowText = varnelo::kSysColorWindowText;
  constexpr ColorValue kNavy = Raw(0x00800000), kRed = Raw(0x000000FF), kBlack = 0;
  struct Case {
    const char* label;
    ColorValue fore, back;
    bool sample;
    ColorValue highContrast;  // normally the fore colour itself
  };
  // Form1's labels as laid out, and samples holding each kind of value.
  const Case cases[] = {
      {"Label2, the navy title", kNavy, kBtnFace, false, kBtnText},
      {"Label5, the red note", kRed, kBtnFace, false, kBtnText},
      {"a fixed colour on the window colour", kRed, kWindow, false, kWindowText},
      {"a fixed black", kBlack, kBtnFace, false, kBtnText},
      {"Label1, the copyright", kGray, kBtnFace, false, kGray},
      {"Label6, Label3, Label4", kBtnText, kWindow, false, kBtnText},
      {"a sample in a Messenger colour", kNavy, kWindow, true, kNavy},
      {"a sample in black", kBlack, kWindow, true, kBlack},
      {"ColorT1 before any colour", kWindow, kWindow, true, kWindow},
      {"ColorT2 before any colour", kBtnText, kWindow, true, kBtnText},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(varnelo::DrawnTextColor(c.fore, c.back, c.sample, false), c.fore) << c.label;
    EXPECT_EQ(varnelo::DrawnTextColor(c.fore, c.back, c.sample, true), c.highContrast) << c.label;
  }
}

}  // namespace
