// An owned, open registry key: closed exactly once, when the owner goes.
#pragma once

#include <windows.h>

#include <utility>

namespace Reg {

class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ScopedKey(ScopedKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  ScopedKey& operator=(ScopedKey&& other) noexcept {
    if (this != &other) {
      Close();
      key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
  }
  ~ScopedKey() { Close(); }

  HKEY get() const { return key_; }
  // For the out-parameter of RegOpenKeyExA / RegCreateKeyExA. Only call on an
  // empty key: a status other than 0 leaves it empty.
  PHKEY receive() { return &key_; }

 private:
  void Close() {
    if (key_ != nullptr) {
      RegCloseKey(key_);  // a failed close changes nothing we could act on
      key_ = nullptr;
    }
  }
  HKEY key_ = nullptr;
};

}  // namespace Reg
