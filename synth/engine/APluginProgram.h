#pragma once
// One preset: a value for each of parameters 0..26 and a name. The plug-in
// owns sixteen of them for its whole life.

#include <atomic>

#include "synth/engine/ParameterTable.h"

namespace marrowglint {

class APluginProgram {
 public:
  static constexpr int kNameLength = 24;  // with the terminator

  APluginProgram();
  APluginProgram(const APluginProgram&) = delete;
  APluginProgram& operator=(const APluginProgram&) = delete;

  // The field that mirrors parameter `index` (0..26). setParameter writes
  // these from any thread (MIDI controllers arrive on the audio thread), so
  // they are atomic.
  std::atomic<float>& field(int index);
  float value(int index) const;
  // Any thread.
  void setValue(int index, float value);

  // GUI thread.
  const char* getName() const { return name; }
  // Keeps at most 23 characters.
  void setName(const char* text);

  // Fields in declared order, as a preset is laid out.
  std::atomic<float> wav1;
  std::atomic<float> mix;
  std::atomic<float> wav2;
  std::atomic<float> fat;
  std::atomic<float> gTune;
  std::atomic<float> glide;
  std::atomic<float> lfoWav;
  std::atomic<float> tun1;
  std::atomic<float> fin1;
  std::atomic<float> tun2;
  std::atomic<float> fin2;
  std::atomic<float> aAt;
  std::atomic<float> aDe;
  std::atomic<float> aSu;
  std::atomic<float> aRe;
  std::atomic<float> cut;
  std::atomic<float> reso;
  std::atomic<float> filt;
  std::atomic<float> phase;
  std::atomic<float> outVol;
  std::atomic<float> rMod;
  std::atomic<float> pwm;
  std::atomic<float> fm;
  std::atomic<float> tube;
  std::atomic<float> lfoAmnt;
  std::atomic<float> lfoRate;
  std::atomic<float> lfoDest;
  char name[kNameLength];

 private:
  static std::atomic<float> APluginProgram::*memberOf(int index);
};

}  // namespace marrowglint
