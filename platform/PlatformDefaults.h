#pragma once
// Internal: the services each platform provides when nothing overrides them.
// Exactly one implementation of each is linked, chosen by the build.

namespace platform {

class MessageBoxService;
class TimerService;
class InputBoxService;
class PopupMenuService;
class FileDialogService;
class MediaPlayerFactory;

MessageBoxService& platformMessageBoxes();
TimerService& platformTimers();
InputBoxService& platformInputBoxes();
PopupMenuService& platformPopupMenus();
FileDialogService& platformFileDialogs();
MediaPlayerFactory& platformMediaPlayers();

// The thread keyboard hook around input boxes: a handle, or nullptr where the
// platform needs none.
void* installThreadKeyboardHook();
void removeThreadKeyboardHook(void* handle);

}  // namespace platform
