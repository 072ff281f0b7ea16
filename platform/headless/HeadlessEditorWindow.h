#pragma once
// An editor window without a screen: it keeps the form's pixels current on
// repaint and records what the editor asked of the window, so tests (and
// hosts that pass no parent) exercise the same paths as a real window.

#include "platform/NativeEditorWindow.h"

namespace platform {

class HeadlessEditorWindow final : public NativeEditorWindow {
 public:
  explicit HeadlessEditorWindow(gui::Form& form, int zoom = 1);
  ~HeadlessEditorWindow() override;

  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  bool isVisible() const override { return visible_; }
  void repaintNow() override;
  void idle() override { repaintNow(); }
  void* handle() const override { return nullptr; }
  void acceptFiles(DropHandler handler) override { dropHandler_ = std::move(handler); }
  int zoom() const override { return zoom_; }
  void setZoom(int zoom) override { zoom_ = zoom; }

  void invalidateRect(const gui::Rect&) override {}
  void setCursor(gui::Cursor cursor) override { cursor_ = cursor; }
  void setMouseCapture(bool captured) override { captured_ = captured; }
  gui::Point toScreen(gui::Point formPoint) const override { return formPoint; }

  // What a test can look at or do.
  gui::Cursor cursor() const { return cursor_; }
  bool captured() const { return captured_; }
  bool acceptsFiles() const { return static_cast<bool>(dropHandler_); }
  void dropFiles(const std::vector<std::string>& files) {
    if (dropHandler_) dropHandler_(files);
  }
  // The window's size in screen pixels.
  int width() const { return form_.width() * zoom_; }
  int height() const { return form_.height() * zoom_; }
  // Pointer input at window pixels, brought to form pixels by the zoom as a
  // real window does.
  void mouseDownAt(gui::Point windowPixel, gui::MouseButton button, gui::ShiftState shift);
  void mouseMoveAt(gui::Point windowPixel, gui::ShiftState shift);
  void mouseUpAt(gui::Point windowPixel, gui::MouseButton button, gui::ShiftState shift);
  // What the screen would show: the form's pixels at the window's zoom.
  gui::Canvas screenPixels() const;

 private:
  gui::Form& form_;
  int zoom_ = 1;
  bool visible_ = false;
  bool captured_ = false;
  gui::Cursor cursor_ = gui::Cursor::arrow;
  DropHandler dropHandler_;
};

}  // namespace platform
