#pragma once
// The file paths of a "text/uri-list" (what a desktop's drag and drop
// carries): one URI a line, "#" lines are comments, only local file URIs
// ("file:///path", "file://localhost/path", "file:/path") name files, and
// percent escapes are decoded. Anything else is left out.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::vector<std::string> filePathsOfUriList(std::string_view uriList);

}  // namespace platform
