#pragma once
// The settings store on Windows: REG_SZ values of decimal text under
// HKEY_CURRENT_USER\Software\Vornhalt\<Subkey>.

#include "platform/SettingsStore.h"

namespace platform {

class RegistrySettingsStore final : public SettingsStore {
 public:
  // `root` is the key below HKEY_CURRENT_USER that holds the subkeys.
  explicit RegistrySettingsStore(std::string root = "Software\\Vornhalt");

  std::optional<std::string> readText(std::string_view subkey, std::string_view name) override;
  bool writeIntegers(std::string_view subkey, std::span<const SettingValue> values) override;

  // Removes the whole subkey with its values (tests clean up with it).
  bool removeSubkey(std::string_view subkey);

 private:
  std::string root;
};

}  // namespace platform
