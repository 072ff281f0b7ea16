#pragma once
// The relative links and pictures of Markdown files: every target must exist
// and every "#anchor" must name a heading of the file it points into (anchors
// as repository pages make them from headings).

#include <filesystem>
#include <string>
#include <vector>

namespace docs {

// The anchor a repository page gives a heading's text: lower case, spaces as
// hyphens, punctuation other than '-' and '_' dropped.
std::string headingAnchor(const std::string& heading);

// Every link target of the file that does not resolve, each as
// "line N: target (why)". Links inside code are not links; targets with a
// scheme (https:, mailto:) are not checked.
std::vector<std::string> brokenLinks(const std::filesystem::path& markdownFile);

}  // namespace docs
