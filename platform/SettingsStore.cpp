#include "platform/SettingsStore.h"

#include <charconv>

namespace platform {

std::int32_t SettingsStore::readInteger(std::string_view subkey, std::string_view name,
                                        std::int32_t fallback) {
  const std::optional<std::string> text = readText(subkey, name);
  if (!text) return fallback;
  return parseDecimal(*text).value_or(fallback);
}

bool SettingsStore::writeInteger(std::string_view subkey, std::string_view name,
                                 std::int32_t value) {
  const SettingValue one{name, value};
  return writeIntegers(subkey, std::span<const SettingValue>(&one, 1));
}

std::optional<std::int32_t> parseDecimal(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  // from_chars takes a minus sign but no plus sign.
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool isStorableName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) return false;
    if (c == '\\' || c == '/' || c == '=' || c == '[' || c == ']' || c == ';' || c == '#') return false;
  }
  return name != "." && name != "..";
}

}  // namespace platform
