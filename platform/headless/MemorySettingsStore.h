#pragma once
// A settings store held in memory: for tests and for hosts without a
// per-user store. Values are kept as text, exactly as written.

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/SettingsStore.h"

namespace platform {

class MemorySettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> readText(std::string_view subkey, std::string_view name) override;
  bool writeIntegers(std::string_view subkey, std::span<const SettingValue> values) override;

  // Places any text, numeric or not, as another program might have. Any thread.
  void setText(std::string_view subkey, std::string_view name, std::string_view text);
  void erase(std::string_view subkey, std::string_view name);
  bool contains(std::string_view subkey, std::string_view name);
  // Number of write operations so far (one per writeIntegers call).
  int writeCount();

 private:
  using Key = std::pair<std::string, std::string>;
  static Key keyOf(std::string_view subkey, std::string_view name);

  std::mutex mutex;  // tests may read from another thread than the one that writes
  std::map<Key, std::string> values;
  int writes = 0;
};

}  // namespace platform
