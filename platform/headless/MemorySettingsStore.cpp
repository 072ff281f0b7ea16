#include "platform/headless/MemorySettingsStore.h"

#include <cctype>

namespace platform {

// Value names compare without regard to ASCII case, as the registry's do.
MemorySettingsStore::Key MemorySettingsStore::keyOf(std::string_view subkey, std::string_view name) {
  const auto lower = [](std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
  };
  return {lower(subkey), lower(name)};
}

std::optional<std::string> MemorySettingsStore::readText(std::string_view subkey,
                                                         std::string_view name) {
  const std::lock_guard lock(mutex);
  const auto found = values.find(keyOf(subkey, name));
  if (found == values.end()) return std::nullopt;
  return found->second;
}

bool MemorySettingsStore::writeIntegers(std::string_view subkey,
                                        std::span<const SettingValue> newValues) {
  if (!isStorableName(subkey)) return false;
  for (const SettingValue& v : newValues) {
    if (!isStorableName(v.name)) return false;
  }
  const std::lock_guard lock(mutex);
  for (const SettingValue& v : newValues) values[keyOf(subkey, v.name)] = std::to_string(v.value);
  ++writes;
  return true;
}

void MemorySettingsStore::setText(std::string_view subkey, std::string_view name,
                                  std::string_view text) {
  const std::lock_guard lock(mutex);
  values[keyOf(subkey, name)] = std::string(text);
}

void MemorySettingsStore::erase(std::string_view subkey, std::string_view name) {
  const std::lock_guard lock(mutex);
  values.erase(keyOf(subkey, name));
}

bool MemorySettingsStore::contains(std::string_view subkey, std::string_view name) {
  const std::lock_guard lock(mutex);
  return values.count(keyOf(subkey, name)) != 0;
}

int MemorySettingsStore::writeCount() {
  const std::lock_guard lock(mutex);
  return writes;
}

}  // namespace platform
