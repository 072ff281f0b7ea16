#pragma once
// Where no system dialogs can be relied on (Linux), an open editor window
// draws message boxes, input boxes and popup menus inside itself. Every open
// window registers as a presenter. A question asked while a window handles
// one of its own events goes to that window; any other (a timer's, the
// engine's) goes to the most recently opened one.

#include <functional>

#include "platform/FileDialogService.h"
#include "platform/InputBoxService.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"

namespace platform {

// What a file browser drawn in the window answers: the choice, or the
// user's wish to use the desktop's own chooser instead.
struct BrowseOutcome {
  FileOpenResult result;
  bool handedOver = false;
};

class InWindowPresenter : public MessageBoxService, public InputBoxService, public PopupMenuService {
 public:
  // A file browser in the window; `offerDesktop` shows the button that
  // hands over to the desktop's chooser.
  virtual Answer<BrowseOutcome> browse(const FileOpenRequest& request, bool offerDesktop) = 0;
};

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
