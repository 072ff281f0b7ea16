#include "platform/linux/IniSettingsStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace platform {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// Names compare without regard to ASCII case, as registry value names do.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The section header's name, or nothing when the line is not a header.
std::optional<std::string_view> sectionOf(std::string_view line) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return trimmed(line.substr(1, line.size() - 2));
}

// The key of a Name=Value line, or nothing for other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(0, equals));
}

// Writes the whole text to a new file beside the target, flushes it to disk
// and renames it over the target.
bool replaceFile(const std::filesystem::path& target, const std::string& text) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temporary = target;
  temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) { ok = false; break; }
    done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path configHome) : home(std::move(configHome)) {}

std::filesystem::path IniSettingsStore::defaultConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* user = std::getenv("HOME");
  if (user != nullptr && user[0] == '/') return std::filesystem::path(user) / ".config";
  return {};
}

std::filesystem::path IniSettingsStore::fileOf(std::string_view subkey) const {
  return home / "Vornhalt" / (std::string(subkey) + ".ini");
}

std::optional<std::string> IniSettingsStore::readText(std::string_view subkey, std::string_view name) {
  if (home.empty() || !isStorableName(subkey) || !isStorableName(name)) return std::nullopt;
  bool inSection = false;
  std::optional<std::string> found;
  for (const std::string& line : readLines(fileOf(subkey))) {
    if (const auto section = sectionOf(line)) {
      inSection = sameName(*section, subkey);
      continue;
    }
    if (!inSection) continue;
    const auto key = keyOf(line);
    // The last line of a name wins, as a later write would have replaced it.
    if (key && sameName(*key, name)) found = std::string(line.substr(line.find('=') + 1));
  }
  return found;
}

bool IniSettingsStore::writeIntegers(std::string_view subkey, std::span<const SettingValue> values) {
  if (home.empty() || !isStorableName(subkey)) return false;
  for (const SettingValue& v : values) {
    if (!isStorableName(v.name)) return false;
  }
  const std::filesystem::path file = fileOf(subkey);
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return false;

  std::vector<std::string> lines = readLines(file);
  // Where our section begins and ends (one past its last line).
  std::size_t begin = lines.size();
  std::size_t end = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto section = sectionOf(lines[i]);
    if (!section) continue;
    if (begin == lines.size() && sameName(*section, subkey)) {
      begin = i;
    } else if (begin != lines.size()) {
      end = i;
      break;
    }
  }
  if (begin == lines.size()) {
    std::string header(1, '[');
    header.append(subkey).push_back(']');
    lines.push_back(std::move(header));
    begin = lines.size() - 1;
    end = lines.size();
  }
  for (const SettingValue& v : values) {
    std::string line(v.name);
    line.append(1, '=').append(std::to_string(v.value));
    bool replaced = false;
    for (std::size_t i = begin + 1; i < end; ++i) {
      const auto key = keyOf(lines[i]);
      if (key && sameName(*key, v.name)) {
        lines[i] = line;
        replaced = true;
      }
    }
    if (!replaced) {
      // After the section's last non-blank line, so a blank line that
      // separates it from the next section stays in place.
      std::size_t at = end;
      while (at > begin + 1 && trimmed(lines[at - 1]).empty()) --at;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
      ++end;
    }
  }
  std::string text;
  for (const std::string& line : lines) text.append(line).push_back('\n');
  return replaceFile(file, text);
}

}  // namespace platform
