// What a desktop drop carries, turned into the paths the drop rules see.

#include <gtest/gtest.h>

#include "platform/UriList.h"

namespace {

using platform::filePathsOfUriList;
using Paths = std::vector<std::string>;

TEST(UriList, LocalFileUrisBecomeDecodedPathsInTheirOrder) {
  EXPECT_EQ(filePathsOfUriList("file:///tmp/vornhalt%20drop/100%25%20pluck.wav\r\n"
                               "file://localhost/home/a/b.TUN\r\n"
                               "file:/home/a/c.scl\n"),
            (Paths{"/tmp/vornhalt drop/100% pluck.wav", "/home/a/b.TUN", "/home/a/c.scl"}));
}

TEST(UriList, CommentsOtherHostsOtherSchemesAndBadEscapesAreHandledSafely) {
  EXPECT_EQ(filePathsOfUriList("# a comment\r\nhttp://example.invalid/a.wav\r\nfile://otherhost/a.wav\r\n"
                               "file:///a%2.wav\r\nfile:///nul%00byte.wav\r\nfile:relative.wav\r\n\r\n"),
            (Paths{"/a%2.wav"}));
  EXPECT_TRUE(filePathsOfUriList("").empty());
  EXPECT_TRUE(filePathsOfUriList("file://").empty());
  EXPECT_EQ(filePathsOfUriList("file:///trailing%"), (Paths{"/trailing%"}));
}

}  // namespace
