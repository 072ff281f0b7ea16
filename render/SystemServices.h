#pragma once
// The few operating-system services the renderer needs, behind one seam.

namespace render {

// Whether standard error is an interactive terminal (the progress bar's place).
bool standardErrorIsTerminal();

// Delivers what the system has queued for this thread's windows (timers of a
// plug-in on Windows); nothing where plug-ins' timers are polled instead.
void dispatchSystemMessages();

}  // namespace render
