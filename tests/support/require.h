// Set-up that a test cannot go on without. A helper that fails with
// GoogleTest's ASSERT_* only returns from itself, and the test would go on
// with half its registry seeded; Require throws instead, which GoogleTest
// reports as a failure of the test and stops it there.
#pragma once

#include <stdexcept>
#include <string>

namespace testing_support {

class SetupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline void Require(bool done, const std::string& what) {
  if (!done) throw SetupError("set-up failed: " + what);
}

}  // namespace testing_support
