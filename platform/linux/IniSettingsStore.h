#pragma once
// The settings store outside Windows: one INI file per subkey,
// <config home>/Vornhalt/<Subkey>.ini, with a section [<Subkey>] and lines
// Name=Value under the registry's value names. Every write replaces the file
// atomically (a complete temporary file renamed over it), so a crash or a
// second instance never leaves half a file behind.

#include <filesystem>

#include "platform/SettingsStore.h"

namespace platform {

class IniSettingsStore final : public SettingsStore {
 public:
  // `configHome` is the folder that holds "Vornhalt"; empty means no store
  // (reads give defaults, writes fail).
  explicit IniSettingsStore(std::filesystem::path configHome);

  std::optional<std::string> readText(std::string_view subkey, std::string_view name) override;
  bool writeIntegers(std::string_view subkey, std::span<const SettingValue> values) override;

  // $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config, else empty.
  static std::filesystem::path defaultConfigHome();
  std::filesystem::path fileOf(std::string_view subkey) const;

 private:
  std::filesystem::path home;
};

}  // namespace platform
