// The settings store: decimal text, names, the in-memory store, and the
// current user's real store of the platform (INI files on Linux with
// XDG_CONFIG_HOME pointed at the build tree, the registry under Windows).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/SettingsStore.h"
#include "platform/headless/MemorySettingsStore.h"
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/win32/RegistrySettingsStore.h"
#else
#include "platform/linux/IniSettingsStore.h"
#endif

namespace {

using platform::parseDecimal;

TEST(SettingsDecimal, Numbers) {
  EXPECT_EQ(parseDecimal("0"), 0);
  EXPECT_EQ(parseDecimal("74"), 74);
  EXPECT_EQ(parseDecimal("-200"), -200);
  EXPECT_EQ(parseDecimal("+5"), 5);
  EXPECT_EQ(parseDecimal("  12\t"), 12);
  EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(parseDecimal("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseDecimal("007"), 7);
}

TEST(SettingsDecimal, NotNumbers) {
  for (const char* text : {"", " ", "abc", "12a", "1 2", "1.5", "0x10", "2147483648", "-2147483649", "+-1",
                           "+", "-", "--1", "1e3"}) {
    EXPECT_FALSE(parseDecimal(text).has_value()) << '"' << text << '"';
  }
}

TEST(SettingsNames, StorableNames) {
  EXPECT_TRUE(platform::isStorableName("Marrowglint"));
  EXPECT_TRUE(platform::isStorableName("CC 30"));
  EXPECT_TRUE(platform::isStorableName("Force Orion Fix"));
  for (const char* name : {"", "a=b", "a/b", "a\\b", "[x]", "..", ".", "line\nbreak", "semi;colon"}) {
    EXPECT_FALSE(platform::isStorableName(name)) << name;
  }
  EXPECT_FALSE(platform::isStorableName(std::string(256, 'a')));
}

// The contract every store keeps, run on each implementation.
void checkStoreContract(platform::SettingsStore& store, const std::string& subkey) {
  EXPECT_EQ(store.readInteger(subkey, "Missing", 999), 999);
  EXPECT_FALSE(store.readText(subkey, "Missing").has_value());
  ASSERT_TRUE(store.writeInteger(subkey, "Interpolate", 2));
  EXPECT_EQ(store.readInteger(subkey, "Interpolate", 0), 2);
  EXPECT_EQ(store.readText(subkey, "Interpolate"), "2");
  const platform::SettingValue many[] = {{"CC Cutoff", -74}, {"CC Resonance", 200}, {"Interpolate", 1}};
  ASSERT_TRUE(store.writeIntegers(subkey, many));
  EXPECT_EQ(store.readInteger(subkey, "CC Cutoff", 0), -74);
  EXPECT_EQ(store.readInteger(subkey, "CC Resonance", 0), 200);
  EXPECT_EQ(store.readInteger(subkey, "Interpolate", 0), 1);
  // Value names compare without regard to case, as in the registry.
  EXPECT_EQ(store.readInteger(subkey, "cc cutoff", 0), -74);
  // Another subkey is another section.
  EXPECT_EQ(store.readInteger(subkey + "Other", "CC Cutoff", 5), 5);
  // Names that cannot be stored are refused, and read as missing.
  const platform::SettingValue bad[] = {{"a=b", 1}};
  EXPECT_FALSE(store.writeIntegers(subkey, bad));
  EXPECT_EQ(store.readInteger(subkey, "a=b", 3), 3);
  EXPECT_FALSE(store.writeInteger("../escape", "x", 1));
}

TEST(SettingsMemoryStore, Contract) {
  platform::MemorySettingsStore store;
  checkStoreContract(store, "Memory");
  store.setText("Memory", "Text", "not a number");
  EXPECT_EQ(store.readInteger("Memory", "Text", 8), 8);
  EXPECT_TRUE(store.contains("Memory", "TEXT"));
  store.erase("Memory", "Text");
  EXPECT_FALSE(store.contains("Memory", "Text"));
}

// A subkey of our own per run, so parallel runs and other tests never meet.
std::string uniqueSubkey() {
  return "StoreTest" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
}

#if defined(_WIN32)

class RegistryStore : public ::testing::Test {
 protected:
  void TearDown() override { platform::RegistrySettingsStore().removeSubkey(subkey); }
  std::string subkey = uniqueSubkey();
};

TEST_F(RegistryStore, ContractThroughTheUsersStore) {
  auto store = platform::userSettingsStore();
  checkStoreContract(*store, subkey);
}

TEST_F(RegistryStore, ValuesAreDecimalTextUnderSoftwareVornhalt) {
  platform::RegistrySettingsStore store;
  ASSERT_TRUE(store.writeInteger(subkey, "CC 7", -12));
  const std::wstring path = L"Software\\Vornhalt\\" + std::wstring(subkey.begin(), subkey.end());
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key), ERROR_SUCCESS);
  wchar_t text[32] = {};
  DWORD type = 0;
  DWORD bytes = sizeof text;
  ASSERT_EQ(RegQueryValueExW(key, L"CC 7", nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(text), L"-12");
  // A value another program stored: not a number, a DWORD, text without terminator.
  const wchar_t word[] = L"seven";
  RegSetValueExW(key, L"Word", 0, REG_SZ, reinterpret_cast<const BYTE*>(word), sizeof word);
  const DWORD number = 5;
  RegSetValueExW(key, L"Dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  const wchar_t digits[] = {L'4', L'2'};
  RegSetValueExW(key, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(digits), sizeof digits);
  RegCloseKey(key);
  EXPECT_EQ(store.readInteger(subkey, "Word", -1), -1);
  EXPECT_EQ(store.readInteger(subkey, "Dword", -1), -1);
  EXPECT_EQ(store.readInteger(subkey, "Unterminated", -1), 42);
}

#else

// Points XDG_CONFIG_HOME at a fresh folder of the build tree for one test.
class IniStore : public ::testing::Test {
 protected:
  void SetUp() override {
    home = std::filesystem::path(VORNHALT_BINARY_DIR) / "tests" / "platform" / ("config-" + uniqueSubkey());
    std::filesystem::remove_all(home);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old != nullptr) saved = old;
    hadOld = old != nullptr;
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  }
  void TearDown() override {
    if (hadOld) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(home);
  }
  std::string fileText(const std::string& subkey) {
    std::ifstream in(home / "Vornhalt" / (subkey + ".ini"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::filesystem::path home;
  std::string saved;
  bool hadOld = false;
};

TEST_F(IniStore, ContractThroughTheUsersStore) {
  auto store = platform::userSettingsStore();
  checkStoreContract(*store, "Marrowglint");
  EXPECT_EQ(fileText("Marrowglint"), "[Marrowglint]\nInterpolate=1\nCC Cutoff=-74\nCC Resonance=200\n");
  // No temporary file is left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home / "Vornhalt")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(IniStore, DefaultHomeFollowsXdgAndHome) {
  EXPECT_EQ(platform::IniSettingsStore::defaultConfigHome(), home);
  setenv("XDG_CONFIG_HOME", "relative/path", 1);  // relative paths are ignored
  const char* user = std::getenv("HOME");
  if (user != nullptr && user[0] == '/') {
    EXPECT_EQ(platform::IniSettingsStore::defaultConfigHome(), std::filesystem::path(user) / ".config");
  }
}

TEST_F(IniStore, KeepsWhatItDoesNotOwn) {
  std::filesystem::create_directories(home / "Vornhalt");
  {
    std::ofstream out(home / "Vornhalt" / "Sarnel.ini");
    out << "; kept comment\r\n[Other]\r\nCC 0=9\r\n\r\n[Sarnel]\r\n CC 0 = 17 \r\nOdd line\r\n\r\n[Later]\r\nX=1\r\n";
  }
  platform::IniSettingsStore store(home);
  EXPECT_EQ(store.readInteger("Sarnel", "CC 0", -1), 17);
  EXPECT_EQ(store.readInteger("Sarnel", "Odd line", -1), -1);
  const platform::SettingValue values[] = {{"CC 0", 4}, {"CC 1", 5}};
  ASSERT_TRUE(store.writeIntegers("Sarnel", values));
  EXPECT_EQ(fileText("Sarnel"),
            "; kept comment\n[Other]\nCC 0=9\n\n[Sarnel]\nCC 0=4\nOdd line\nCC 1=5\n\n[Later]\nX=1\n");
  EXPECT_EQ(store.readInteger("Other", "CC 0", -1), -1);  // another file's section is not ours
  EXPECT_EQ(store.readInteger("Sarnel", "CC 1", -1), 5);
}

TEST_F(IniStore, WithoutAHomeNothingIsStored) {
  platform::IniSettingsStore store{std::filesystem::path()};
  EXPECT_FALSE(store.writeInteger("Marrowglint", "Interpolate", 1));
  EXPECT_EQ(store.readInteger("Marrowglint", "Interpolate", 7), 7);
}

TEST_F(IniStore, UnwritableFolderFails) {
  std::filesystem::create_directories(home);
  { std::ofstream blocker(home / "Vornhalt"); }  // a file where the folder should be
  platform::IniSettingsStore store(home);
  EXPECT_FALSE(store.writeInteger("Marrowglint", "Interpolate", 1));
}

#endif

}  // namespace
