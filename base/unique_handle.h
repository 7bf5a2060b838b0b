// A handle owned by exactly one holder and closed once, when the holder goes.
// Move-only: copying would close the same handle twice.
#pragma once

#include <utility>

namespace varnelo {

// `Close` is the function that releases a Handle (RegCloseKey, DeleteObject,
// CloseHandle...), wrapped so its result is ignored: nothing can be done about
// a failed close.
template <typename Handle, auto Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  // For an API's out-parameter. Only call on an empty holder: a call that
  // fails leaves it empty.
  Handle* receive() { return &handle_; }
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

}  // namespace varnelo
