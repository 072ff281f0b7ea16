#include "platform/win32/MessageWindowTimers.h"

#include <windows.h>

#include <utility>

#include "platform/PlatformDefaults.h"
#include "platform/win32/ModuleInstance.h"

namespace platform {

struct MessageWindowTimers::Timer {
  HWND window = nullptr;
  Callback callback;
};

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr wchar_t kClassName[] = L"VornhaltTimerWindow";

LRESULT CALLBACK timerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    auto* weak = reinterpret_cast<std::weak_ptr<MessageWindowTimers::Timer>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (weak != nullptr) {
      // Hold the timer while its tick runs: the tick may stop it.
      if (std::shared_ptr<MessageWindowTimers::Timer> timer = weak->lock()) invokeTimerCallback(timer->callback);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerTimerClass() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = timerWindowProc;
    windowClass.hInstance = moduleInstance();
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

void destroyTimerWindow(HWND window) {
  KillTimer(window, kTimerId);
  delete reinterpret_cast<std::weak_ptr<MessageWindowTimers::Timer>*>(SetWindowLongPtrW(window, GWLP_USERDATA, 0));
  DestroyWindow(window);
}

}  // namespace

MessageWindowTimers::~MessageWindowTimers() {
  for (auto& entry : timers_) destroyTimerWindow(entry.second->window);
}

int MessageWindowTimers::add(std::uint32_t intervalMs, Callback callback) {
  if (intervalMs == 0 || !registerTimerClass()) return 0;
  HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, moduleInstance(), nullptr);
  if (window == nullptr) return 0;
  auto timer = std::make_shared<Timer>();
  timer->window = window;
  timer->callback = std::move(callback);
  SetWindowLongPtrW(window, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(new std::weak_ptr<Timer>(timer)));
  if (SetTimer(window, kTimerId, intervalMs, nullptr) == 0) {
    destroyTimerWindow(window);
    return 0;
  }
  const int id = nextId_++;
  timers_.emplace(id, std::move(timer));
  return id;
}

void MessageWindowTimers::remove(int id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  destroyTimerWindow(found->second->window);
  timers_.erase(found);
}

TimerService& platformTimers() {
  static MessageWindowTimers service;
  return service;
}

}  // namespace platform
