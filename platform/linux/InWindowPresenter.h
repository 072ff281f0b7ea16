#pragma once
// Linux has no system dialogs a plug-in can rely on, so an open editor window
// draws message boxes (and the other modal services) inside itself. The most
// recently opened window registers as the presenter while it is open.

namespace platform {

class MessageBoxService;

// The presenter's message boxes, or nullptr when no editor window is open.
// GUI thread.
MessageBoxService* inWindowMessageBoxes();
// GUI thread. Clearing unregisters only a presenter that is still current.
void setInWindowMessageBoxes(MessageBoxService* presenter);
void clearInWindowMessageBoxes(MessageBoxService* presenter);

}  // namespace platform
