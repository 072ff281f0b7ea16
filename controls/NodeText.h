#pragma once
// The envelope node list as text: "(0, 0), (20, 255), (80, 150)". Writing
// joins "(x, y)" points with ", "; reading accepts blanks (the space
// character only) around every token and one trailing separator.

#include <string>
#include <string_view>
#include <vector>

namespace controls {

struct TNode {
  int x = 0;
  int y = 0;
  friend bool operator==(const TNode&, const TNode&) = default;
};

// The points in text order, each number limited to 255. Throws
// ConversionError with the message of the first fault: "Unexpected string
// end", "'(' expected but found '%s'", "',' expected but '%s' found",
// "')' expected but '%s' found", "Number expected", "Number is invalid".
std::vector<TNode> parseNodeText(std::string_view text);

std::string formatNodeText(const std::vector<TNode>& nodes);

}  // namespace controls
