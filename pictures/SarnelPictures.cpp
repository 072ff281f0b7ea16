#include "pictures/EditorPictures.h"

namespace pictures {

std::vector<EditorPicture> sarnelPictures() { return {}; }

}  // namespace pictures
