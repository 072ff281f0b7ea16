#pragma once
// Linux has no system dialogs a plug-in can rely on, so an open editor window
// draws message boxes, input boxes and popup menus inside itself. The most
// recently opened window registers as the presenter while it is open.

#include "platform/InputBoxService.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"

namespace platform {

class InWindowPresenter : public MessageBoxService, public InputBoxService, public PopupMenuService {};

// The presenter, or nullptr when no editor window is open. GUI thread.
InWindowPresenter* inWindowPresenter();
// GUI thread. Unregistering removes only a presenter that is still current.
void registerInWindowPresenter(InWindowPresenter* presenter);
void unregisterInWindowPresenter(InWindowPresenter* presenter);

}  // namespace platform
