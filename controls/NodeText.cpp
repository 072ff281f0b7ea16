#include "controls/NodeText.h"

#include <algorithm>

#include "controls/ControlErrors.h"

namespace controls {

namespace {

class NodeTextReader {
 public:
  explicit NodeTextReader(std::string_view text) : text_(text) {}

  std::vector<TNode> read() {
    std::vector<TNode> nodes;
    skipBlanks();
    while (!atEnd()) {
      nodes.push_back(point());
      skipBlanks();
      if (atEnd()) break;
      expect(',', "',' expected but '%s' found");
      skipBlanks();  // a trailing separator ends the list
    }
    return nodes;
  }

 private:
  TNode point() {
    expectOpening();
    TNode node;
    node.x = number();
    expectInside(',', "',' expected but '%s' found");
    node.y = number();
    expectInside(')', "')' expected but '%s' found");
    return node;
  }

  void expectOpening() {
    skipBlanks();
    if (atEnd()) throw ConversionError("Unexpected string end");
    if (text_[pos_] != '(') throw ConversionError(fill("'(' expected but found '%s'"));
    ++pos_;
  }

  void expectInside(char wanted, const char* message) {
    skipBlanks();
    if (atEnd()) throw ConversionError("Unexpected string end");
    expect(wanted, message);
  }

  void expect(char wanted, const char* message) {
    if (text_[pos_] != wanted) throw ConversionError(fill(message));
    ++pos_;
  }

  int number() {
    skipBlanks();
    if (atEnd()) throw ConversionError("Unexpected string end");
    const std::size_t start = pos_;
    while (!atEnd() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    if (pos_ == start) throw ConversionError("Number expected");
    // A whole number of 32 bits at most; larger digit runs are not numbers.
    long long value = 0;
    for (std::size_t i = start; i < pos_; ++i) {
      value = value * 10 + (text_[i] - '0');
      if (value > 2147483647LL) throw ConversionError("Number is invalid");
    }
    return static_cast<int>(std::min<long long>(value, 255));
  }

  // The message with the character found (a whole UTF-8 sequence) in place
  // of %s.
  std::string fill(const char* message) const {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text_[pos_]);
    if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    length = std::min(length, text_.size() - pos_);
    const std::string_view pattern(message);
    const std::size_t at = pattern.find("%s");
    std::string result(pattern.substr(0, at));
    result.append(text_.substr(pos_, length));
    result.append(pattern.substr(at + 2));
    return result;
  }

  void skipBlanks() {
    while (!atEnd() && text_[pos_] == ' ') ++pos_;
  }
  bool atEnd() const { return pos_ >= text_.size(); }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<TNode> parseNodeText(std::string_view text) { return NodeTextReader(text).read(); }

std::string formatNodeText(const std::vector<TNode>& nodes) {
  std::string text;
  for (const TNode& node : nodes) {
    if (!text.empty()) text.append(", ");
    text.push_back('(');
    text.append(std::to_string(node.x));
    text.append(", ");
    text.append(std::to_string(node.y));
    text.push_back(')');
  }
  return text;
}

}  // namespace controls
