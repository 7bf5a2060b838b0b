// What the C++ library throws when a container or a string is misused or
// cannot grow, in the exe: the program's own Error, with the library's text.
//
// libstdc++'s own versions of these throw std::length_error and its kin,
// which keep their text in the library's old reference-counted string: its
// code, std::random_device's that shares its object file, and the standard
// exceptions' come to about 46 KiB of the exe, for failures that only ever
// reach the run-time error box as a text. Defined here, the linker takes
// these and leaves the library's. Only the exe has them; the native build and
// the test programs keep the library's.
#include "base/error.h"

#include <bits/functexcept.h>

#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw varnelo::Error(what); }
void __throw_logic_error(const char* what) { throw varnelo::Error(what); }
// The text is a printf format; its arguments (the index and the size) are
// left out rather than formatted.
void __throw_out_of_range_fmt(const char* what, ...) { throw varnelo::Error(what); }

}  // namespace std
