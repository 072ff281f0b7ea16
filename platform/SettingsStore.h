#pragma once
// Per-user settings of the instruments: integer values under
// Software\Vornhalt\<Subkey>, each kept as decimal text. A value that is
// missing or does not read as a number gives the caller's default.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct SettingValue {
  std::string_view name;
  std::int32_t value;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text of `name` in `subkey`, or nothing when it is absent or
  // cannot be read. GUI thread (never the audio thread: this may do I/O).
  virtual std::optional<std::string> readText(std::string_view subkey, std::string_view name) = 0;

  // Stores several values of one subkey in one go (one key opening, one file
  // replacement). False when nothing could be stored. GUI thread.
  virtual bool writeIntegers(std::string_view subkey, std::span<const SettingValue> values) = 0;

  // GUI thread.
  std::int32_t readInteger(std::string_view subkey, std::string_view name, std::int32_t fallback);
  bool writeInteger(std::string_view subkey, std::string_view name, std::int32_t value);
};

// Decimal text to a 32-bit integer: optional blanks around, optional sign,
// digits only, in range. Anything else is not a number.
std::optional<std::int32_t> parseDecimal(std::string_view text);

// Whether a subkey or value name can be stored on every platform: printable
// ASCII without the characters that paths and INI lines give a meaning to.
bool isStorableName(std::string_view name);

// The current user's real store: the registry on Windows, an INI file per
// subkey elsewhere. GUI thread.
std::shared_ptr<SettingsStore> userSettingsStore();

}  // namespace platform
