#pragma once
// Internal: the services each platform provides when nothing overrides them.
// Exactly one implementation of each is linked, chosen by the build.

namespace platform {

class MessageBoxService;
class TimerService;

MessageBoxService& platformMessageBoxes();
TimerService& platformTimers();

}  // namespace platform
