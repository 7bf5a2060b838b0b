// The program's own exception: a failure it cannot go on from, with a text
// for the run-time error box or standard error.
//
// Not std::runtime_error: libstdc++ keeps the text of its standard exceptions
// in its old reference-counted string, whose code (32 KiB in the exe, and
// std::random_device's with it) would come along for them alone.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace varnelo {

class Error : public std::exception {
 public:
  explicit Error(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string what_;
};

}  // namespace varnelo
