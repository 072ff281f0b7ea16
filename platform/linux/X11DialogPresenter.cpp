#include "platform/linux/X11DialogPresenter.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <string>

#include "platform/GuiTimer.h"
#include "platform/linux/DrawnBoxes.h"
#include "platform/linux/PolledTimerService.h"

namespace platform {

namespace {

// XLookupString gives Latin-1 text.
std::string latin1ToUtf8(const char* text, int length) {
  std::string utf8;
  for (int i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

void deliverKey(DrawnBox& box, XKeyEvent& event) {
  char text[32] = {};
  KeySym symbol = 0;
  const int length = XLookupString(&event, text, sizeof text, &symbol, nullptr);
  switch (symbol) {
    case XK_Return:
    case XK_KP_Enter: box.key(BoxKey::enter, {}); return;
    case XK_Escape: box.key(BoxKey::escape, {}); return;
    case XK_BackSpace: box.key(BoxKey::backspace, {}); return;
    case XK_Up: box.key(BoxKey::up, {}); return;
    case XK_Down: box.key(BoxKey::down, {}); return;
    default: break;
  }
  if (length > 0) box.key(BoxKey::none, latin1ToUtf8(text, length));
}

}  // namespace

bool X11DialogPresenter::runModal(DrawnBox& box) {
  // One box at a time, and only in a window the user can see.
  if (running_ || !surface_.isVisible()) return false;
  running_ = true;
  Display* display = surface_.display();
  gui::Form& form = surface_.form();
  form.paintDirty();
  gui::Canvas under = form.canvas();
  XSetInputFocus(display, surface_.window(), RevertToParent, CurrentTime);
  while (!box.done()) {
    form.canvas() = under;
    box.paint(form.canvas());
    surface_.present(form.bounds());

    const int untilTimer = polledTimers().millisecondsUntilNextDue();
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    if (XPending(display) == 0) poll(&connection, 1, untilTimer < 0 ? 250 : untilTimer);
    while (XPending(display) > 0 && !box.done()) {
      XEvent event;
      XNextEvent(display, &event);
      switch (event.type) {
        case ButtonPress:
          if (event.xbutton.button <= Button3) box.press({event.xbutton.x, event.xbutton.y});
          break;
        case ButtonRelease:
          if (event.xbutton.button <= Button3) box.release({event.xbutton.x, event.xbutton.y});
          break;
        case MotionNotify: box.move({event.xmotion.x, event.xmotion.y}); break;
        case KeyPress: deliverKey(box, event.xkey); break;
        default: break;  // exposures are covered by the redraw above
      }
    }
    // The editor's timers keep running while the box is open; what they
    // paint goes under the box.
    serviceGuiTimers();
    form.canvas() = under;
    form.paintDirty();
    under = form.canvas();
  }
  form.canvas() = under;
  form.invalidate();
  form.paintDirty();
  surface_.present(form.bounds());
  running_ = false;
  return true;
}

Answer<MessageResult> X11DialogPresenter::show(std::string_view text, std::string_view caption,
                                               MessageButtons buttons, MessageIcon) {
  DrawnDialog box(surface_.form().bounds(), std::string(caption), std::string(text), messageButtonCaptions(buttons),
                  std::nullopt);
  if (!runModal(box)) return Answer<MessageResult>::now(dismissedAnswer(buttons));
  return Answer<MessageResult>::now(messageAnswer(buttons, box.chosen()));
}

Answer<std::optional<std::string>> X11DialogPresenter::query(std::string_view caption, std::string_view prompt,
                                                             std::string_view defaultText) {
  DrawnDialog box(surface_.form().bounds(), std::string(caption), std::string(prompt), {"OK", "Cancel"},
                  std::string(defaultText));
  if (!runModal(box) || box.chosen() != 0) return Answer<std::optional<std::string>>::now(std::nullopt);
  return Answer<std::optional<std::string>>::now(box.editText());
}

Answer<int> X11DialogPresenter::choose(const std::vector<MenuItem>& items, ScreenPoint at) {
  // The menu opens where the pointer is, in the window's own coordinates.
  int x = 0, y = 0;
  Window child = 0;
  Display* display = surface_.display();
  XTranslateCoordinates(display, DefaultRootWindow(display), surface_.window(), at.x, at.y, &x, &y, &child);
  DrawnMenu menu(surface_.form().bounds(), {x, y}, items);
  if (!runModal(menu)) return Answer<int>::now(-1);
  return Answer<int>::now(menu.chosen());
}

}  // namespace platform
