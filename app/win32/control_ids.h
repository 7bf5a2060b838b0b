// Child-window ids of Form1's controls. Tests that drive the real window
// from outside find the controls by these ids.
#pragma once

namespace varnelo::ids {

inline constexpr int Command1 = 101;  // 色 選 択
inline constexpr int Command2 = 102;  // 閉 じ る
inline constexpr int Command3 = 103;  // 設 定
inline constexpr int Frame1 = 201;
inline constexpr int ColorT2 = 202;
inline constexpr int ColorT1 = 203;
inline constexpr int Label4 = 204;
inline constexpr int Label3 = 205;
inline constexpr int Label1 = 206;
inline constexpr int Label6 = 207;
inline constexpr int Label5 = 208;
inline constexpr int Label2 = 209;

}  // namespace varnelo::ids

// The window class of Form1.
#define VARNELO_FORM1_CLASS L"VarneloForm1"
