// The boxes the Linux editor window draws over its form, driven without a
// display: layout, painting, pointer and keys.

#include <gtest/gtest.h>

#include "gui/Canvas.h"
#include "platform/drawn/DrawnBoxes.h"

namespace {

using platform::BoxKey;
using platform::DrawnDialog;
using platform::DrawnMenu;
using platform::MenuItem;
using platform::MessageButtons;
using platform::MessageResult;

const gui::Rect kSmallEditor{0, 0, 239, 358};

gui::Point centre(const gui::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(DrawnDialog, FitsTheSmallestEditorAndWrapsLongText) {
  DrawnDialog box(kSmallEditor, "Error",
                  "A rather long message that cannot possibly fit on one line of a box this narrow", {"OK"},
                  std::nullopt);
  EXPECT_GE(box.box().left, kSmallEditor.left);
  EXPECT_LE(box.box().right, kSmallEditor.right);
  EXPECT_LE(box.box().bottom, kSmallEditor.bottom);
  gui::Canvas canvas(239, 358, gui::colors::black);
  box.paint(canvas);
  EXPECT_EQ(canvas.pixel(centre(box.box()).x, box.box().top), gui::colors::white);  // raised edge
  EXPECT_NE(canvas.pixel(centre(box.box()).x, centre(box.box()).y), gui::colors::black);
}

TEST(DrawnDialog, AButtonAnswersOnlyWhenPressedAndReleasedOnIt) {
  DrawnDialog box(kSmallEditor, "Question", "Load it?", platform::messageButtonCaptions(MessageButtons::yesNo),
                  std::nullopt);
  box.press(centre(box.buttonRect(1)));
  box.release(centre(box.buttonRect(0)));  // slid off: nothing
  EXPECT_FALSE(box.done());
  box.press(centre(box.buttonRect(1)));
  box.release(centre(box.buttonRect(1)));
  ASSERT_TRUE(box.done());
  EXPECT_EQ(platform::messageAnswer(MessageButtons::yesNo, box.chosen()), MessageResult::no);
}

TEST(DrawnDialog, EnterTakesTheFirstButtonAndEscapeDismisses) {
  DrawnDialog yes(kSmallEditor, "Q", "?", platform::messageButtonCaptions(MessageButtons::yesNoCancel),
                  std::nullopt);
  yes.key(BoxKey::enter, {});
  EXPECT_EQ(platform::messageAnswer(MessageButtons::yesNoCancel, yes.chosen()), MessageResult::yes);
  DrawnDialog escape(kSmallEditor, "Q", "?", platform::messageButtonCaptions(MessageButtons::yesNo), std::nullopt);
  escape.key(BoxKey::escape, {});
  EXPECT_TRUE(escape.done());
  EXPECT_EQ(platform::messageAnswer(MessageButtons::yesNo, escape.chosen()), MessageResult::no);
}

TEST(DrawnDialog, EditLineReplacesTheSelectedDefaultThenAppends) {
  DrawnDialog box(kSmallEditor, "Assign controller", "1-128=CC#1-128, 129=PB, 200=learn", {"OK", "Cancel"},
                  std::string("12"));
  EXPECT_EQ(box.editText(), "12");
  box.key(BoxKey::none, "7");
  box.key(BoxKey::none, "4");
  EXPECT_EQ(box.editText(), "74");
  box.key(BoxKey::backspace, {});
  EXPECT_EQ(box.editText(), "7");
  box.key(BoxKey::none, "\xC3\xA9");  // a two-byte character
  box.key(BoxKey::backspace, {});   // removed whole
  EXPECT_EQ(box.editText(), "7");
  box.key(BoxKey::none, std::string("\x01\x7F", 2));  // control characters are not typed
  EXPECT_EQ(box.editText(), "7");
  box.key(BoxKey::enter, {});
  EXPECT_EQ(box.chosen(), 0);
}

TEST(DrawnDialog, TheCaretMovesAndEditsInsideTheText) {
  DrawnDialog box(kSmallEditor, "Root key", "New root key:", {"OK", "Cancel"}, std::string("C  3"));
  EXPECT_TRUE(box.allSelected());
  box.key(BoxKey::end, {});  // ends the selection, caret at the end
  EXPECT_FALSE(box.allSelected());
  box.key(BoxKey::backspace, {});
  EXPECT_EQ(box.editText(), "C  ");
  box.key(BoxKey::home, {});
  box.key(BoxKey::del, {});
  EXPECT_EQ(box.editText(), "  ");
  box.key(BoxKey::none, "D#");
  EXPECT_EQ(box.editText(), "D#  ");
  box.key(BoxKey::right, {});
  box.key(BoxKey::right, {});
  box.key(BoxKey::none, "4");
  EXPECT_EQ(box.editText(), "D#  4");
  box.key(BoxKey::left, {});
  box.key(BoxKey::left, {});
  box.key(BoxKey::backspace, {});
  EXPECT_EQ(box.editText(), "D# 4");
  EXPECT_EQ(box.caret(), 2u);
  box.key(BoxKey::del, {});
  box.key(BoxKey::del, {});
  box.key(BoxKey::del, {});  // nothing left to delete
  EXPECT_EQ(box.editText(), "D#");
  // A long text scrolls within its field instead of painting over the box.
  box.key(BoxKey::none, std::string(80, 'x'));
  gui::Canvas canvas(239, 358, gui::colors::black);
  box.paint(canvas);
  EXPECT_EQ(canvas.pixel(box.box().right - 1 + 1, box.box().top + 40), gui::colors::black);
}

TEST(DrawnDialog, TheFirstDeleteOrBackspaceClearsTheSelectedDefault) {
  DrawnDialog box(kSmallEditor, "Portamento", "Time:", {"OK", "Cancel"}, std::string("5"));
  box.key(BoxKey::del, {});
  EXPECT_EQ(box.editText(), "");
  box.key(BoxKey::none, "30");
  EXPECT_EQ(box.editText(), "30");
}

TEST(DrawnMenu, AThirteenItemMenuInTheBottomRightCornerOpensUpAndLeftWhole) {
  std::vector<MenuItem> items;
  for (int i = 0; i < 13; ++i) items.push_back({"Item " + std::to_string(i + 1)});
  const gui::Rect window{0, 0, 678, 497};
  DrawnMenu menu(window, {670, 490}, items);
  const gui::Rect box = menu.bounds();
  EXPECT_EQ(box.intersect(window), box);
  EXPECT_EQ(box.right, 670);  // flipped: its corner at the pointer
  EXPECT_EQ(box.bottom, 490);
  EXPECT_LE(menu.itemRect(12).bottom, 497);
  // Too tall to flip in a small window: shifted inside instead.
  DrawnMenu shifted(gui::Rect{0, 0, 239, 240}, {200, 120}, items);
  EXPECT_EQ(shifted.bounds().intersect({0, 0, 239, 240}), shifted.bounds());
}

TEST(DrawnMenu, ChoosesTheReleasedItemAndSkipsSeparatorsAndDisabledItems) {
  std::vector<MenuItem> items{{"Load WAV sample...", false, true}, {"-", false, true},
                              {"Reset tuning...", true, false}, {"Load tuning file...", false, true}};
  DrawnMenu menu(gui::Rect{0, 0, 678, 497}, {600, 480}, items);
  const gui::Rect first = menu.itemRect(0);
  EXPECT_LE(menu.itemRect(3).bottom, 497);  // moved up into the window
  EXPECT_LE(first.right, 678);
  menu.release(centre(menu.itemRect(1)));  // the separator
  EXPECT_FALSE(menu.done());
  menu.release(centre(menu.itemRect(2)));  // disabled
  EXPECT_FALSE(menu.done());
  menu.move(centre(menu.itemRect(3)));
  menu.release(centre(menu.itemRect(3)));
  ASSERT_TRUE(menu.done());
  EXPECT_EQ(menu.chosen(), 3);
}

TEST(DrawnMenu, KeysWalkSelectableItemsAndAPressOutsideDismisses) {
  std::vector<MenuItem> items{{"a", false, true}, {"-", false, true}, {"b", false, true}};
  DrawnMenu keys(kSmallEditor, {10, 10}, items);
  keys.key(BoxKey::down, {});
  keys.key(BoxKey::down, {});
  keys.key(BoxKey::enter, {});
  EXPECT_EQ(keys.chosen(), 2);
  DrawnMenu outside(kSmallEditor, {10, 10}, items);
  outside.press({230, 350});
  EXPECT_TRUE(outside.done());
  EXPECT_EQ(outside.chosen(), -1);
}

}  // namespace
