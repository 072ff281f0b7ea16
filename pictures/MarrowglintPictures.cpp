#include "pictures/EditorPictures.h"

namespace pictures {

std::vector<EditorPicture> marrowglintPictures() { return {}; }

}  // namespace pictures
