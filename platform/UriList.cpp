#include "platform/UriList.h"

namespace platform {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like become their byte; a stray "%" stays as it is.
std::string percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = hexValue(text[i + 1]);
      const int low = hexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

// The path of one local file URI, or empty.
std::string localPath(std::string_view uri) {
  constexpr std::string_view scheme = "file:";
  if (uri.substr(0, scheme.size()) != scheme) return {};
  std::string_view rest = uri.substr(scheme.size());
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") return {};  // another machine's file
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest.front() != '/') return {};
  const std::string path = percentDecoded(rest);
  if (path.find('\0') != std::string::npos) return {};
  return path;
}

}  // namespace

std::vector<std::string> filePathsOfUriList(std::string_view uriList) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < uriList.size()) {
    std::size_t end = uriList.find('\n', start);
    if (end == std::string_view::npos) end = uriList.size();
    std::string_view line = uriList.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::string path = localPath(line);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace platform
