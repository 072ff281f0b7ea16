#pragma once
// The instance handle of the module (plug-in DLL or program) this code is
// linked into: window classes and dialogs belong to it, not to the host.

#include <windows.h>

namespace platform {

HINSTANCE moduleInstance();

}  // namespace platform
