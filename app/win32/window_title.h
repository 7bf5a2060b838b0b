// The program's title: the window's caption, and the caption of every
// message box it shows.
#pragma once

namespace varnelo {

inline constexpr wchar_t kAppTitle[] = L"Varnelo";

}  // namespace varnelo
