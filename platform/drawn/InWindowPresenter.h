#pragma once
// Where no system dialogs can be relied on (Linux), an open editor window
// draws message boxes, input boxes and popup menus inside itself. Every open
// window registers as a presenter. A question asked while a window handles
// one of its own events goes to that window; any other (a timer's, the
// engine's) goes to the most recently opened one.

#include <functional>

#include "platform/InputBoxService.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"

namespace platform {

class InWindowPresenter : public MessageBoxService, public InputBoxService, public PopupMenuService {};

// The presenter for a question asked now, or nullptr when no editor window
// is open. GUI thread.
InWindowPresenter* inWindowPresenter();
// GUI thread.
void registerInWindowPresenter(InWindowPresenter* presenter);
void unregisterInWindowPresenter(InWindowPresenter* presenter);

// Called with each presenter as its window closes (before its form goes),
// for questions that are not drawn in the window but belong to it (a
// desktop file chooser). GUI thread.
void onPresenterClosing(std::function<void(InWindowPresenter*)> listener);

// Marks `presenter` as the one whose window is handling an event, for one
// scope. GUI thread.
class PresenterDispatchScope {
 public:
  explicit PresenterDispatchScope(InWindowPresenter* presenter);
  ~PresenterDispatchScope();
  PresenterDispatchScope(const PresenterDispatchScope&) = delete;
  PresenterDispatchScope& operator=(const PresenterDispatchScope&) = delete;

 private:
  InWindowPresenter* saved_;
};

}  // namespace platform
