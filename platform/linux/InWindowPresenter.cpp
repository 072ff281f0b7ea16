#include "platform/linux/InWindowPresenter.h"

namespace platform {

namespace {
MessageBoxService* currentMessageBoxes = nullptr;  // GUI thread only
}

MessageBoxService* inWindowMessageBoxes() { return currentMessageBoxes; }
void setInWindowMessageBoxes(MessageBoxService* presenter) { currentMessageBoxes = presenter; }
void clearInWindowMessageBoxes(MessageBoxService* presenter) {
  if (currentMessageBoxes == presenter) currentMessageBoxes = nullptr;
}

}  // namespace platform
