#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ControlErrors.h"
#include "controls/NodeText.h"

namespace {

using controls::parseNodeText;
using controls::TNode;

std::string errorOf(const std::string& text) {
  try {
    parseNodeText(text);
  } catch (const controls::ConversionError& e) {
    return e.what();
  }
  return "<accepted>";
}

TEST(NodeText, ReadsPointsWithBlanksAnywhereAndATrailingSeparator) {
  EXPECT_EQ(parseNodeText("(0, 0), (20, 255), (80, 150)"),
            (std::vector<TNode>{{0, 0}, {20, 255}, {80, 150}}));
  EXPECT_EQ(parseNodeText("  (  1 ,2 )  ,(3,4),  "), (std::vector<TNode>{{1, 2}, {3, 4}}));
  EXPECT_EQ(parseNodeText("(5,6),"), (std::vector<TNode>{{5, 6}}));
  EXPECT_TRUE(parseNodeText("").empty());
  EXPECT_TRUE(parseNodeText("    ").empty());
}

TEST(NodeText, NumbersAreLimitedTo255) {
  EXPECT_EQ(parseNodeText("(10, 300)"), (std::vector<TNode>{{10, 255}}));
  EXPECT_EQ(parseNodeText("(0000256, 2147483647)"), (std::vector<TNode>{{255, 255}}));
}

TEST(NodeText, EveryMessage) {
  EXPECT_EQ(errorOf("(10, 20"), "Unexpected string end");
  EXPECT_EQ(errorOf("(10,"), "Unexpected string end");
  EXPECT_EQ(errorOf("("), "Unexpected string end");
  EXPECT_EQ(errorOf("(1,2),   (3"), "Unexpected string end");
  EXPECT_EQ(errorOf("(10; 20)"), "',' expected but ';' found");
  EXPECT_EQ(errorOf("(1,2) (3,4)"), "',' expected but '(' found");
  EXPECT_EQ(errorOf("(1,2 3)"), "')' expected but '3' found");
  EXPECT_EQ(errorOf("x"), "'(' expected but found 'x'");
  EXPECT_EQ(errorOf(",(1,2)"), "'(' expected but found ','");
  EXPECT_EQ(errorOf("(1,2),,"), "'(' expected but found ','");
  EXPECT_EQ(errorOf("(-1, 0)"), "Number expected");
  EXPECT_EQ(errorOf("(1, )"), "Number expected");
  EXPECT_EQ(errorOf("(2147483648, 0)"), "Number is invalid");
  EXPECT_EQ(errorOf(std::string("(") + std::string(5000, '9') + ",0)"), "Number is invalid");
  // Tabs are not blanks here.
  EXPECT_EQ(errorOf("(1,\t2)"), "Number expected");
  // A multi-byte character is named whole.
  EXPECT_EQ(errorOf("(1\xC3\xA9"), "',' expected but '\xC3\xA9' found");
}

TEST(NodeText, WritingJoinsPointsWithCommaBlank) {
  EXPECT_EQ(controls::formatNodeText({{0, 0}, {20, 255}}), "(0, 0), (20, 255)");
  EXPECT_EQ(controls::formatNodeText({}), "");
  const std::vector<TNode> nodes{{0, 0}, {20, 255}, {80, 150}, {190, 150}, {255, 0}};
  EXPECT_EQ(parseNodeText(controls::formatNodeText(nodes)), nodes);
}

}  // namespace
