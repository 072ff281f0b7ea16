// Every named editor state against its picture in docs/images (the README's
// and the manual's), pixel for pixel, on every target: the artwork is drawn by
// code and must come out the same everywhere, and the documentation shows
// today's editors. Regenerate on purpose only, and commit the pictures on
// their own with the reason:
//   VORNHALT_REGENERATE_GOLDEN=1 ctest --test-dir build/linux -R editor_picture_tests

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "pictures/EditorPictures.h"

namespace {

std::string goldenPath(const pictures::EditorPicture& picture) {
  return std::string(VORNHALT_PICTURES_DIR) + "/" + picture.fileName();
}

bool regenerating() {
  const char* flag = std::getenv("VORNHALT_REGENERATE_GOLDEN");
  return flag != nullptr && std::string(flag) == "1";
}

TEST(EditorPictures, EveryStateHasAUniqueName) {
  const auto all = pictures::allEditorPictures();
  for (std::size_t i = 0; i < all.size(); ++i) {
    for (std::size_t j = i + 1; j < all.size(); ++j) EXPECT_NE(all[i].fileName(), all[j].fileName());
  }
}

// A picture left behind by a renamed or removed state would show an editor
// that no longer exists.
TEST(EditorPictures, EveryCommittedPictureIsANamedState) {
  std::set<std::string> named;
  for (const pictures::EditorPicture& picture : pictures::allEditorPictures()) named.insert(picture.fileName());
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VORNHALT_PICTURES_DIR)) {
    if (entry.path().extension() != ".png") continue;
    ++seen;
    EXPECT_TRUE(named.count(entry.path().filename().string())) << entry.path().filename().string();
  }
  EXPECT_EQ(seen, static_cast<int>(named.size()));
}

TEST(EditorPictures, EachStateMatchesItsGoldenPicture) {
  for (const pictures::EditorPicture& picture : pictures::allEditorPictures()) {
    SCOPED_TRACE(picture.fileName());
    const gui::Canvas drawn = picture.render();
    ASSERT_FALSE(drawn.empty());
    if (regenerating()) {
      ASSERT_TRUE(drawn.savePng(goldenPath(picture))) << goldenPath(picture);
      continue;
    }
    const gui::Canvas golden = gui::Canvas::loadPng(goldenPath(picture));
    ASSERT_FALSE(golden.empty()) << "missing golden picture " << goldenPath(picture);
    ASSERT_EQ(drawn.width(), golden.width());
    ASSERT_EQ(drawn.height(), golden.height());
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        // The PNG keeps 24 bits; compare those.
        if ((drawn.pixel(x, y) & 0xFFFFFFu) == (golden.pixel(x, y) & 0xFFFFFFu)) continue;
        if (differing++ == 0) firstX = x, firstY = y;
      }
    }
    EXPECT_EQ(differing, 0) << "first differing pixel at " << firstX << ", " << firstY
                            << " (the drawn picture is left beside the test as " << picture.fileName() << ")";
    if (differing != 0) drawn.savePng(picture.fileName());
  }
}

}  // namespace
