#pragma once
// The voices: their fields, one array per field ("structure of arrays"), and
// the per-sample step of the four that sound, side by side. Audio thread
// only (note events and rendering).

#include <cstdint>

#include "synth/engine/TVoice.h"
#include "synth/engine/TWaveTables.h"

namespace marrowglint {

// What one frame of the voices reads: live values of this frame and the
// waveforms of both oscillators.
struct VoiceFrame {
  float mix;
  float pwm;
  float fm;
  float glide;
  float fine1;  // "Fin1"
  float fine2;  // "Fin2"
  float rmod;
  float decay;    // "ADe"
  float sustain;  // "ASu"
  float ring;     // the carrier of this frame (one-voice-at-a-time steps only)
  TWaveTables::View osc1;
  TWaveTables::View osc2;
};

class TVoiceBank {
 public:
  static constexpr int kCapacity = 8;  // room for eight
  static constexpr int kSounding = 4;  // voices 1..4 sound

  // No over-alignment: a host's allocator (and 32-bit Windows' heap) only
  // promises 8 bytes, so the render loop loads these unaligned.
  float phase1[kCapacity] = {};      // table positions, 0..16384
  float phase2[kCapacity] = {};
  float increment1[kCapacity] = {};  // table steps per sample
  float increment2[kCapacity] = {};
  float level[kCapacity] = {};       // envelope level
  float rate[kCapacity] = {};        // 1 − the parameter of the current stage
  float step[kCapacity] = {};        // 1 / (rate × 44000 + 100), kept with rate
  float gain[kCapacity] = {};        // velocity gain
  std::uint8_t note[kCapacity] = {}; // shifted note number; 0 = free
  std::uint8_t state[kCapacity] = {};// EnvelopeState
  float glideTarget1 = 0.0f;                     // shared by every voice
  float glideTarget2 = 0.0f;

  // Increments, glide and envelope steps are in units per sample at
  // 44.1 kHz; every change per sample is scaled by 44100 / the host's rate
  // (exactly 1 at 44.1 kHz, where nothing changes, and with "Fixed Rate
  // Pitch"). Only setRateScale changes it.
  float rateScale = 1.0f;

  // The level change per sample of a stage depends only on its rate; it is
  // computed once when the rate changes instead of on every sample.
  void setRate(int i, float newRate) {
    rate[i] = newRate;
    step[i] = 1.0f / (newRate * 44000.0f + 100.0f) * rateScale;
  }
  // A new host rate: the envelope steps of every voice follow.
  void setRateScale(float scale) {
    rateScale = scale;
    for (int i = 0; i < kCapacity; ++i) setRate(i, rate[i]);
  }

  TVoice snapshot(int i) const;

  // The sums of voices 1..4 for `count` frames with the same live values,
  // each in double precision in voice order, with ring[n] the ring
  // modulator's carrier of frame n. Steps phases, glide and envelopes.
  template <int Mode>
  void render(const VoiceFrame& frame, const float* ring, double* sums, int count);

  // One voice (lane 0..7) as the design describes it: the reference for the
  // side-by-side step, and its fallback.
  template <int Mode>
  float voiceSample(int lane, const VoiceFrame& frame);

 private:
  template <int Mode>
  void renderSideBySide(const VoiceFrame& frame, const float* ring, double* sums, int count);
  template <int Mode>
  double renderOneByOne(const VoiceFrame& frame);
  float envelopeStep(int lane, const VoiceFrame& frame);
  void envelopeTransition(int lane, const VoiceFrame& frame);
};

extern template void TVoiceBank::render<0>(const VoiceFrame&, const float*, double*, int);
extern template void TVoiceBank::render<1>(const VoiceFrame&, const float*, double*, int);
extern template void TVoiceBank::render<2>(const VoiceFrame&, const float*, double*, int);

}  // namespace marrowglint
