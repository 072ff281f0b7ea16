#pragma once
// Drives one plug-in through its effect record the way a hostile host could:
// the input is read as a sequence of operations (parameters with any index
// and value, dispatcher opcodes with buffers of our own, event lists, audio
// blocks of 0 ... 4096 frames) and after each the answers and buffers are
// checked. The record's own entries are called, so the framework's
// forwarding is part of what is fuzzed.

#include <cstdint>
#include <span>
#include <vector>

#include "AudioBlock.h"
#include "EventList.h"
#include "FuzzInput.h"
#include "GuardedBuffer.h"
#include "framework/AEffect.h"

namespace fuzz {

struct SurfaceProfile {
  // Parameter indices worth more than a random one (commands included).
  std::span<const vst::VstInt32> indices;
  // Whether getParameter must answer within 0 ... 1 for an index (the sound
  // parameters); other indices only have to answer a finite number.
  bool (*unitRange)(vst::VstInt32 index);
};

class SurfaceDriver {
 public:
  SurfaceDriver(vst::AEffect* effect, const SurfaceProfile& profile) : effect_(effect), profile_(profile) {}
  virtual ~SurfaceDriver() = default;

  // Runs operations until the input ends or a budget is spent.
  void run(FuzzInput& in);
  // After any history the plug-in must still work: each engine restores
  // neutral settings through setParameter and checks that audio input comes
  // through again (nothing the host did may poison its state for good).
  virtual void checkRecovery() = 0;
  // Closes the plug-in through its record (destroys it).
  void close();

 protected:
  vst::VstInt32 anyIndex(FuzzInput& in);
  vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);
  void setParameter(vst::VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
  // Renders `frames` frames of constant input `level` with processReplacing
  // and answers the output (left and right of each frame, interleaved).
  std::vector<float> renderConstant(float level, int frames);

  // Operations of one engine only; `op` counts from 0. Answers false when it
  // has none with that number.
  virtual bool engineOp(unsigned op, FuzzInput& in) = 0;
  virtual unsigned engineOpCount() const = 0;
  // Called after every host setParameter (the engine may have to restore an
  // invariant of the fuzz set-up, such as a safe sample path).
  virtual void afterSetParameter(vst::VstInt32) {}

 private:
  void opSetParameter(FuzzInput& in);
  void opGetParameter(FuzzInput& in);
  void opProcessEvents(FuzzInput& in);
  void opProcess(FuzzInput& in, bool replacing);
  void opParameterTexts(FuzzInput& in);
  void opPrograms(FuzzInput& in);
  void opRates(FuzzInput& in);
  void opPlainOpcodes(FuzzInput& in);
  void opRecords(FuzzInput& in);
  void opEditor(FuzzInput& in);
  void opUnknownOpcode(FuzzInput& in);
  void opCanDo(FuzzInput& in);

  vst::AEffect* effect_;
  const SurfaceProfile& profile_;
  GuardedBuffer buffer_;
  EventList events_;
  AudioBlock audio_;
  long framesLeft_ = 1L << 17;  // keeps one input fast
};

}  // namespace fuzz
