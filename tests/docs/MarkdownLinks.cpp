#include "MarkdownLinks.h"

#include <cctype>
#include <fstream>
#include <map>
#include <set>

namespace docs {

namespace {

std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool isFence(const std::string& line) {
  const auto first = line.find_first_not_of(' ');
  return first != std::string::npos && (line.compare(first, 3, "```") == 0 || line.compare(first, 3, "~~~") == 0);
}

// Inline code spans removed, so `[a](b)` shown as code is not a link.
std::string withoutCodeSpans(const std::string& line) {
  std::string out;
  bool inCode = false;
  for (char c : line) {
    if (c == '`') {
      inCode = !inCode;
      continue;
    }
    if (!inCode) out.push_back(c);
  }
  return out;
}

// The anchors of a file's headings, with the "-1", "-2" suffixes that repeated
// headings get.
std::set<std::string> anchorsOf(const std::filesystem::path& file) {
  std::set<std::string> anchors;
  std::map<std::string, int> uses;
  bool inFence = false;
  for (const std::string& line : readLines(file)) {
    if (isFence(line)) inFence = !inFence;
    if (inFence || line.empty() || line[0] != '#') continue;
    const auto text = line.find_first_not_of('#');
    if (text == std::string::npos || line[text] != ' ') continue;
    const std::string anchor = headingAnchor(line.substr(text + 1));
    const int count = uses[anchor]++;
    anchors.insert(count == 0 ? anchor : anchor + "-" + std::to_string(count));
  }
  return anchors;
}

// The targets of "[text](target)" and "![text](target \"title\")" on a line.
std::vector<std::string> linkTargets(const std::string& text) {
  std::vector<std::string> targets;
  for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
    const std::size_t close = text.find(']', open + 1);
    if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != '(') continue;
    const std::size_t start = close + 2;
    std::size_t end = start;
    while (end < text.size() && text[end] != ')' && text[end] != ' ') ++end;
    if (end < text.size() && end > start) targets.push_back(text.substr(start, end - start));
    open = close;
  }
  return targets;
}

// "https:", "mailto:" and the like: a letter, then letters, digits, '+', '-'
// or '.', then ':'.
bool hasScheme(const std::string& target) {
  if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0]))) return false;
  for (char c : target) {
    if (c == ':') return true;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

}  // namespace

std::string headingAnchor(const std::string& heading) {
  std::string anchor;
  for (std::size_t i = 0; i < heading.size();) {
    const unsigned char c = static_cast<unsigned char>(heading[i]);
    if (c < 0x80) {
      if (std::isalnum(c) || c == '-' || c == '_') anchor.push_back(static_cast<char>(std::tolower(c)));
      if (c == ' ') anchor.push_back('-');
      ++i;
      continue;
    }
    // A UTF-8 sequence: letters stay, the punctuation blocks (dashes, quotes,
    // Latin-1 signs) go.
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    unsigned codePoint = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < heading.size(); ++k) {
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(heading[i + k]) & 0x3F);
    }
    const bool punctuation = (codePoint >= 0x2000 && codePoint <= 0x206F) ||
                             (codePoint >= 0xA0 && codePoint <= 0xBF) || codePoint == 0xD7 || codePoint == 0xF7;
    if (!punctuation) anchor.append(heading, i, length);
    i += length;
  }
  return anchor;
}

std::vector<std::string> brokenLinks(const std::filesystem::path& markdownFile) {
  std::vector<std::string> broken;
  const std::vector<std::string> lines = readLines(markdownFile);
  bool inFence = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isFence(lines[i])) inFence = !inFence;
    if (inFence) continue;
    const std::string text = withoutCodeSpans(lines[i]);
    for (const std::string& target : linkTargets(text)) {
      if (hasScheme(target)) continue;
      const auto hash = target.find('#');
      const std::string path = target.substr(0, hash);
      const std::string anchor = hash == std::string::npos ? "" : target.substr(hash + 1);
      const std::filesystem::path resolved = path.empty() ? markdownFile : markdownFile.parent_path() / path;
      const std::string where = "line " + std::to_string(i + 1) + ": " + target;
      if (!std::filesystem::exists(resolved)) {
        broken.push_back(where + " (no such file)");
      } else if (!anchor.empty() && resolved.extension() == ".md" && !anchorsOf(resolved).count(anchor)) {
        broken.push_back(where + " (no such heading)");
      }
    }
  }
  return broken;
}

}  // namespace docs
