// The parts of ScratchHive that are plain registry calls, the same on both
// sides.
#include "support/hive.h"

#include "registry/scoped_key.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace testing_support {
namespace {

Reg::ScopedKey Open(const std::string& path, REGSAM access) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, key.receive()) != ERROR_SUCCESS) {
    return Reg::ScopedKey{};
  }
  return key;
}

Reg::ScopedKey Create(const std::string& path) {
  Reg::ScopedKey key;
  const LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                         KEY_ALL_ACCESS, nullptr, key.receive(), nullptr);
  EXPECT_EQ(status, ERROR_SUCCESS) << "creating " << path;
  return key;
}

std::string Hex(const std::vector<BYTE>& data) {
  std::string out;
  for (const BYTE b : data) {
    std::array<char, 4> cell{};
    std::snprintf(cell.data(), cell.size(), "%02X ", b);
    out += cell.data();
  }
  return out;
}

// `data` is one buffer, big enough for any value, shared by the whole dump.
void DumpKey(HKEY parent, const std::string& path, std::vector<BYTE>& data, std::string& out) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
    out += "[" + path + "] (cannot be read)\n";
    return;
  }
  out += "[" + path + "]\n";
  for (DWORD index = 0;; ++index) {
    std::array<char, 16384> name{};
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD dataSize = static_cast<DWORD>(data.size());
    if (RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, &type, data.data(),
                      &dataSize) != ERROR_SUCCESS) {
      break;
    }
    const std::vector<BYTE> value(data.data(), data.data() + dataSize);
    out += "  \"" + std::string(name.data()) + "\" type " + std::to_string(type) + ": " +
           Hex(value) + "\n";
  }
  std::vector<std::string> children;
  for (DWORD index = 0;; ++index) {
    std::array<char, 1024> name{};
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key.get(), index, name.data(), &nameSize, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    children.emplace_back(name.data());
  }
  for (const auto& child : children) {
    DumpKey(parent, path.empty() ? child : path + "\\" + child, data, out);
  }
}

}  // namespace

std::vector<BYTE> Bytes(std::initializer_list<int> bytes) {
  std::vector<BYTE> out;
  for (const int b : bytes) out.push_back(static_cast<BYTE>(b));
  return out;
}

std::vector<BYTE> Le32(std::uint32_t value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

void Hive::CreateKey(const std::string& path) { Create(path); }

void Hive::CreateKeyBelow(const std::string& parent, const std::string& name) {
  const auto key = Create(parent);
  Reg::ScopedKey child;
  ASSERT_EQ(RegCreateKeyExA(key.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            child.receive(), nullptr),
            ERROR_SUCCESS)
      << "creating " << name.size() << " characters below " << parent;
}

void Hive::SetRaw(const std::string& path, const std::string& name, DWORD type,
                  std::vector<BYTE> data) {
  const auto key = Create(path);
  ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, data.data(),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS)
      << "setting " << path << " " << name;
}

void Hive::SetText(const std::string& path, const std::string& name, const std::string& text) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  SetRaw(path, name, REG_SZ, std::move(data));
}

void Hive::DeleteKey(const std::string& path) {
  const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
}

void Hive::DeleteValue(const std::string& path, const std::string& name) {
  const auto key = Open(path, KEY_SET_VALUE);
  ASSERT_NE(key.get(), nullptr) << path;
  ASSERT_EQ(RegDeleteValueA(key.get(), name.c_str()), ERROR_SUCCESS);
}

bool Hive::KeyExists(const std::string& path) const {
  Reg::ScopedKey key;
  // Any right at all proves the key is there; a refused right still does.
  const LSTATUS status =
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY, key.receive());
  return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

std::optional<RawValue> Hive::GetRaw(const std::string& path, const std::string& name) const {
  const auto key = Open(path, KEY_QUERY_VALUE);
  if (key.get() == nullptr) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (size > 0 && RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(),
                                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

std::string Hive::Dump() const {
  std::string out;
  std::vector<BYTE> data(1 << 20);
  DumpKey(HKEY_CURRENT_USER, "", data, out);
  return out;
}

}  // namespace testing_support
