#include "platform/linux/InWindowPresenter.h"

namespace platform {

namespace {
InWindowPresenter* currentPresenter = nullptr;  // GUI thread only
}

InWindowPresenter* inWindowPresenter() { return currentPresenter; }
void registerInWindowPresenter(InWindowPresenter* presenter) { currentPresenter = presenter; }
void unregisterInWindowPresenter(InWindowPresenter* presenter) {
  if (currentPresenter == presenter) currentPresenter = nullptr;
}

}  // namespace platform
