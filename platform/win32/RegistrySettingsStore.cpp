#include "platform/win32/RegistrySettingsStore.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace platform {
namespace {

// Names are printable ASCII (isStorableName), so widening is a copy.
std::wstring wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring keyPath(const std::string& root, std::string_view subkey) {
  return wide(root) + L"\\" + wide(subkey);
}

// Closes the key when the scope ends, on every path.
class OpenKey {
 public:
  explicit OpenKey(HKEY key) : handle(key) {}
  ~OpenKey() { if (handle != nullptr) RegCloseKey(handle); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return handle; }

 private:
  HKEY handle;
};

// Longest text we accept: far more than any 32-bit decimal number needs.
constexpr DWORD kMaxValueBytes = 512;

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string rootKey) : root(std::move(rootKey)) {}

std::optional<std::string> RegistrySettingsStore::readText(std::string_view subkey,
                                                           std::string_view name) {
  if (!isStorableName(subkey) || !isStorableName(name)) return std::nullopt;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(root, subkey).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const OpenKey key(raw);
  std::vector<wchar_t> buffer(kMaxValueBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD type = 0;
  DWORD bytes = kMaxValueBytes;
  if (RegQueryValueExW(key.get(), wide(name).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  // The stored text need not carry its terminator; the buffer has room for one.
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  std::string text;
  for (const wchar_t* c = buffer.data(); *c != L'\0'; ++c) {
    // Anything beyond ASCII cannot be part of a number; keep it non-numeric.
    text.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
  }
  return text;
}

bool RegistrySettingsStore::writeIntegers(std::string_view subkey,
                                          std::span<const SettingValue> values) {
  if (!isStorableName(subkey)) return false;
  for (const SettingValue& v : values) {
    if (!isStorableName(v.name)) return false;
  }
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(root, subkey).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const OpenKey key(raw);
  bool ok = true;
  for (const SettingValue& v : values) {
    const std::wstring text = wide(std::to_string(v.value));
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.get(), wide(v.name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS) {
      ok = false;
    }
  }
  return ok;
}

bool RegistrySettingsStore::removeSubkey(std::string_view subkey) {
  if (!isStorableName(subkey)) return false;
  return RegDeleteKeyW(HKEY_CURRENT_USER, keyPath(root, subkey).c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
