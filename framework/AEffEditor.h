#pragma once
// The editor base: the conversation a host has with a plug-in's window.

#include "framework/AEffect.h"

namespace vst {

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* effect);
  virtual ~AEffEditor() = default;
  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  // GUI thread, all of them.
  virtual VstInt32 getRect(ERect** rect);
  virtual VstInt32 open(void* parentWindow);
  virtual void close();
  virtual void idle();
  virtual void update();
  virtual void postUpdate();
  virtual VstInt32 onKeyDown(VstKeyCode& keyCode);
  virtual VstInt32 onKeyUp(VstKeyCode& keyCode);
  virtual VstInt32 setKnobMode(VstInt32 mode);
  virtual bool onWheel(float distance);

 protected:
  AudioEffect* effect;   // the owning plug-in; not owned here
  void* systemWindow = nullptr;
  bool updateFlag = false;
};

}  // namespace vst
