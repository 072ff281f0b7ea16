// The one place where the settings store of the platform is chosen.

#include "platform/SettingsStore.h"

#if defined(_WIN32)
#include "platform/win32/RegistrySettingsStore.h"
#else
#include "platform/linux/IniSettingsStore.h"
#endif

namespace platform {

std::shared_ptr<SettingsStore> userSettingsStore() {
#if defined(_WIN32)
  return std::make_shared<RegistrySettingsStore>();
#else
  return std::make_shared<IniSettingsStore>(IniSettingsStore::defaultConfigHome());
#endif
}

}  // namespace platform
