// Every relative link and picture in the project's Markdown files resolves,
// and the manual shows both editors.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "MarkdownLinks.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> projectMarkdownFiles() {
  std::vector<fs::path> files;
  const fs::path root = VORNHALT_SOURCE_DIR;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    // Build trees, the demo's output and version control hold no documentation.
    if (it->is_directory() && (name.rfind("build", 0) == 0 || name == "out" || name[0] == '.')) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file() && it->path().extension() == ".md") files.push_back(it->path());
  }
  return files;
}

TEST(MarkdownLinks, FindsMissingFilesAndHeadingsButNotCode) {
  const fs::path folder = fs::temp_directory_path() / "vornhalt-docs-links-test";
  fs::create_directories(folder / "images");
  std::ofstream(folder / "images" / "shown.png") << "x";
  std::ofstream(folder / "other.md") << "# Other page\n\n## Same\n\n## Same\n";
  std::ofstream(folder / "page.md") << "# A page: with (punctuation)\n"
                                       "![shown](images/shown.png) ![gone](images/gone.png)\n"
                                       "[up](#a-page-with-punctuation) [nowhere](#missing)\n"
                                       "[there](other.md#same-1) [not there](other.md#same-2)\n"
                                       "`[code](not-a-link.md)` [web](https://example.invalid/x)\n"
                                       "```\n[fenced](also-not.md)\n```\n"
                                       "[titled](other.md \"a title\")\n";
  const std::vector<std::string> broken = docs::brokenLinks(folder / "page.md");
  fs::remove_all(folder);
  EXPECT_EQ(broken, (std::vector<std::string>{"line 2: images/gone.png (no such file)",
                                              "line 3: #missing (no such heading)",
                                              "line 4: other.md#same-2 (no such heading)"}));
}

TEST(MarkdownLinks, HeadingAnchorsFollowRepositoryPages) {
  EXPECT_EQ(docs::headingAnchor("Why is the editor too small?"), "why-is-the-editor-too-small");
  EXPECT_EQ(docs::headingAnchor("The renderer: .fxp and .fxb"), "the-renderer-fxp-and-fxb");
  EXPECT_EQ(docs::headingAnchor("Loop modes — \"ping pong\""), "loop-modes--ping-pong");
}

TEST(MarkdownLinks, EveryLinkAndPictureOfTheProjectResolves) {
  const std::vector<fs::path> files = projectMarkdownFiles();
  ASSERT_GE(files.size(), 2u);
  for (const fs::path& file : files) {
    for (const std::string& broken : docs::brokenLinks(file)) ADD_FAILURE() << file.string() << ", " << broken;
  }
}

TEST(MarkdownLinks, TheManualShowsBothLabelledEditors) {
  std::ifstream manual(fs::path(VORNHALT_SOURCE_DIR) / "docs" / "manual.md");
  ASSERT_TRUE(manual) << "docs/manual.md is missing";
  const std::string text((std::istreambuf_iterator<char>(manual)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("](images/sarnel-labelled.png)"), std::string::npos);
  EXPECT_NE(text.find("](images/marrowglint-labelled.png)"), std::string::npos);
}

}  // namespace
