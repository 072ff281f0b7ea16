#include "render/SystemServices.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdio>

namespace render {

#ifdef _WIN32

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void dispatchSystemMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

#else

bool standardErrorIsTerminal() { return isatty(fileno(stderr)) != 0; }

void dispatchSystemMessages() {}

#endif

}  // namespace render
