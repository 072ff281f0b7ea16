// A plug-in with a blank editor of Sarnel's size, opened, closed and counted
// exactly as the instruments' editors do, so a test host can prove the
// native window inside a real parent window.

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>
#include <memory>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "framework/AudioEffectX.h"
#include "framework/PluginEntry.h"
#include "gui/Form.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "platform/EditorWindowHost.h"
#include "platform/InputBoxService.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"
#include "tests/gui/EditorWindowProbeTrace.h"

namespace editorprobe {
namespace {

void trace(vst::AudioEffectX& effect, int what, void* data = nullptr) {
  effect.hostVendorSpecific(kTraceIndex, what, data, 0.0f);
}

// Asks for a number, then whether to keep it; traces it after both answers.
platform::Handler askForANumber(vst::AudioEffectX* effect) {
  const std::optional<std::string> typed =
      co_await platform::systemInputBoxes().query("Editor window probe", "Type a number:", "12");
  if (!typed) {
    trace(*effect, typedCancelled);
    co_return;
  }
  const platform::MessageResult keep = co_await platform::systemMessageBoxes().show(
      "Keep " + *typed + "?", "Editor window probe", platform::MessageButtons::yesNo, platform::MessageIcon::question);
  if (keep != platform::MessageResult::yes) {
    trace(*effect, answeredNo);
    co_return;
  }
  trace(*effect, typedBase + std::atoi(typed->c_str()));
}

platform::Handler openTheMenu(vst::AudioEffectX* effect, gui::Point at) {
  std::vector<platform::MenuItem> items;
  for (int i = 0; i < kMenuItems; ++i) items.push_back({"Item " + std::to_string(i + 1)});
  const int chosen = co_await platform::systemPopupMenus().choose(items, {at.x, at.y});
  trace(*effect, chosen < 0 ? static_cast<int>(menuDismissed) : menuBase + chosen);
}

std::unique_ptr<gui::Form> makeForm(vst::AudioEffectX& effect) {
  auto form = std::make_unique<gui::Form>(kWidth, kHeight, gui::rgb(16, 24, 48));
  auto& title = form->add<gui::Label>(gui::Rect::sized(20, 20, 0, 0), "Editor window probe");
  title.setFont(gui::Font(-19, gui::FontWeight::bold));
  title.setTextColor(gui::colors::white);
  auto& button = form->add<gui::Panel>(gui::Rect::sized(kButtonLeft, kButtonTop, kButtonSize, kButtonSize),
                                       gui::rgb(255, 0, 0));
  button.setCursor(gui::Cursor::hand);
  button.onClick = [&effect, &button](gui::Component&) {
    button.setColor(gui::rgb(0, 255, 0));
    effect.setParameterAutomated(0, 1.0f);
  };
  auto& question = form->add<gui::Panel>(gui::Rect::sized(kQuestionLeft, kButtonTop, kButtonSize, kButtonSize),
                                         gui::rgb(0, 0, 255));
  question.onClick = [&effect](gui::Component&) {
    platform::systemMessageBoxes()
        .show("Keep this sample?", "Editor window probe", platform::MessageButtons::yesNo,
              platform::MessageIcon::question)
        .then([&effect](platform::MessageResult answer) {
          trace(effect, answer == platform::MessageResult::yes  ? answeredYes
                        : answer == platform::MessageResult::no ? answeredNo
                                                                : answeredOther);
        });
  };
  auto& input = form->add<gui::Panel>(gui::Rect::sized(kInputLeft, kButtonTop, kButtonSize, kButtonSize),
                                      gui::rgb(255, 255, 0));
  input.onClick = [&effect](gui::Component&) { askForANumber(&effect); };
  auto& menu = form->add<gui::Panel>(gui::Rect::sized(kMenuLeft, kMenuTop, kMenuSize, kMenuSize),
                                     gui::rgb(255, 0, 255));
  menu.onMouseDown = [&effect, &menu](gui::Component&, const gui::MouseEvent& event) {
    openTheMenu(&effect, menu.form()->toScreen(menu.toForm({event.x, event.y})));
  };
  return form;
}

class ProbeEditor : public vst::AEffEditor {
 public:
  explicit ProbeEditor(vst::AudioEffectX* owner) : AEffEditor(owner), owner_(owner) {}
  ~ProbeEditor() override { window_.reset(); }

  // The window tests ask for 200 % through the environment at load.
  static int zoomAsked() {
#if defined(_WIN32)
    // The process's environment itself: this library's runtime keeps its own copy.
    char asked[8] = {};
    return GetEnvironmentVariableA("VORNHALT_PROBE_ZOOM", asked, sizeof asked) == 1 && asked[0] == '2' ? 2 : 1;
#else
    const char* asked = std::getenv("VORNHALT_PROBE_ZOOM");
    return asked != nullptr && std::string(asked) == "2" ? 2 : 1;
#endif
  }
  int zoom() const { return zoom_; }

  vst::VstInt32 getRect(vst::ERect** rect) override {
    area_ = {0, 0, static_cast<std::int16_t>(kHeight * zoom()), static_cast<std::int16_t>(kWidth * zoom())};
    if (rect != nullptr) *rect = &area_;
    return 1;
  }
  vst::VstInt32 open(void* parent) override {
    parent_ = parent;
    const int old = openCount_++;
    if (old == 0 || !window_) {
      window_ = std::make_unique<platform::EditorWindowHost>(parent, makeForm(*owner_), zoom());
      window_->window().acceptFiles([this](const std::vector<std::string>& files) {
        for (const std::string& file : files) trace(*owner_, droppedFile, const_cast<char*>(file.c_str()));
      });
      trace(*owner_, windowCreated);
    }
    window_->show();
    return 1;
  }
  void close() override {
    if (window_) window_->hide();
    openCount_ = std::max(openCount_ - 1, 0);
    if (openCount_ == 0) {
      if (window_) trace(*owner_, windowDestroyed);
      window_.reset();
      parent_ = nullptr;
    }
  }
  void idle() override {
    if (window_) window_->idle();
  }

 private:
  vst::AudioEffectX* owner_;
  int zoom_ = zoomAsked();
  vst::ERect area_{};
  int openCount_ = 0;
  std::unique_ptr<platform::EditorWindowHost> window_;
  void* parent_ = nullptr;
};

class ProbeEffect : public vst::AudioEffectX {
 public:
  explicit ProbeEffect(vst::audioMasterCallback master) : AudioEffectX(master, 1, 1) {
    setEditor(new ProbeEditor(this));
    setUniqueID(vst::fourCharCode('E', 'd', 'P', 'r'));
    isSynth(true);
  }
  void setParameter(vst::VstInt32 index, float value) override {
    if (index == 0) value_ = value;
  }
  float getParameter(vst::VstInt32 index) override { return index == 0 ? value_ : 0.0f; }
  // Audio thread.
  void process(float**, float**, vst::VstInt32) override {}
  // Audio thread.
  void processReplacing(float**, float** outputs, vst::VstInt32 frames) override {
    for (int channel = 0; channel < 2; ++channel) std::fill(outputs[channel], outputs[channel] + frames, 0.0f);
  }

 private:
  float value_ = 0.0f;
};

}  // namespace
}  // namespace editorprobe

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return vst::createEffect<editorprobe::ProbeEffect>(audioMaster);
}
