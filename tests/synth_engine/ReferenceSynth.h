#pragma once
// A deliberately plain model of the synthesizer's sound: one sample at a
// time, every value read where the design reads it, no caching, no blocks.
// The engine's render loop is optimised; tests compare it with this model
// sample for sample and expect identical bits.

#include <array>
#include <cmath>
#include <cstdint>

#include "synth/engine/TWaveTables.h"

namespace reference {

class ReferenceSynth {
 public:
  explicit ReferenceSynth(const marrowglint::TWaveTables& t) : tables(t) {
    const float defaults[27] = {0.1f, 0.5f, 0.5f, 0.2f, 0.5f, 0.5f, 0.5f, 0.99999f, 1.0f,
                                0.99999f, 0.99999f, 0.9f, 0.0001f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                0.0f, 0.0f, 0.0f, 0.2f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
    for (int i = 0; i < 27; ++i) p[i] = defaults[i];
    updateDerived();
  }

  int interpolation = 0;
  // 44100 / the host's rate: every change per sample is scaled by it.
  float rateScale = 1.0f;

  // setParameter for indices 0..26, clamps included.
  void set(int index, float value) {
    if (value > 1.0f) value = 1.0f;
    if (!(value >= 0.0f)) value = 0.0f;
    const float limits[27] = {0.3f, 1, 1, 0.4f, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.3f,
                              1, 1, 1, 1, 1, 1, 1, 1, 0.7f, 1, 1, 1, 0.3f};
    if (value > limits[index]) value = limits[index];
    p[index] = value;
    if (index == 26) lfoPhase = 0.0f;
    updateDerived();
  }
  float get(int index) const { return p[index]; }

  // A MIDI note message as processEvents treats it.
  void midiNote(int status, int note, int velocity) {
    const int shifted = (note & 0x7F) + static_cast<int>(std::nearbyint(48.0f * p[23])) + 24;
    if ((status & 0xF0) == 0x80) velocity = 0;
    if (velocity > 0) {
      noteOn(shifted, velocity);
      return;
    }
    for (int v = 0; v < 4; ++v) {
      if (voices[v].note == shifted) noteOff(v);
    }
  }

  float renderOne(float in0, float in1) {
    if (p[20] > 0.0f) {
      const float* lfoTable = tables.values(lfoWave);
      const float value = (lfoTable[static_cast<int>(std::nearbyint(lfoPhase))] * p[20] + 1.0f) * 0.5f;
      p[lfoDest] = value;
      lfoPhase += 0.8f * p[21] * rateScale;
      if (lfoPhase >= 16384.0f) lfoPhase -= 16384.0f;
    }
    double sum = 0.0;
    for (int v = 0; v < 4; ++v) sum += voiceSample(voices[v]);
    sum = sum * p[24] / 4;
    if (!std::isfinite(in0)) in0 = 0.0f;
    if (!std::isfinite(in1)) in1 = 0.0f;
    float g = (1.0f - p[6]) * in0 + p[6] * in1;
    if (p[15] > 0.0f) g = (1.0f - p[15]) * g + p[15] * (in0 + in1) * carrier() * 4.0f;
    const float r = filter(static_cast<float>(g + sum));
    float o = (line[pos] + r) / 2.0f;
    line[pos] = r + 0.999f * line[pos] * p[18] + 1e-24f;
    pos = pos + 1;
    if (pos > 500) pos = 0;
    if (!std::isfinite(o)) {  // overflow: filter and comb start again from rest
      s0 = s1 = 0.0f;
      line.fill(0.0f);
      o = 0.0f;
    }
    if (o > 1.0f) o = 1.0f;
    if (o < -1.0f) o = -1.0f;
    return o + 1e-24f;
  }

  struct Voice {
    int note = 0;
    int state = 0;
    float level = 0, rate = 0, gain = 0, phase1 = 0, phase2 = 0, inc1 = 0, inc2 = 0;
  };
  std::array<Voice, 4> voices{};

 private:
  void updateDerived() {
    wave1 = p[0] < 0.05f ? 0 : p[0] < 0.15f ? 1 : p[0] >= 0.25f ? 3 : 2;
    wave2 = p[3] < 0.05f ? 0 : p[3] < 0.15f ? 1 : p[3] >= 0.25f ? 4 : 2;
    lfoWave = static_cast<int>(std::nearbyint(10.0f * p[26]));
    const int destinations[7] = {6, 2, 11, 12, 16, 17, 18};
    const int d = static_cast<int>(std::nearbyint(100.0f * p[22]));
    lfoDest = d >= 0 && d <= 6 ? destinations[d] : 15;
  }

  float carrier() const { return static_cast<float>(std::sin(static_cast<double>(pos * 5000 + 1))); }

  float read(int w, float phase) const {
    const int j = static_cast<int>(std::nearbyint(phase));
    const float f = phase - static_cast<float>(j);
    if (interpolation == 2) {
      return tables.values(w)[j] + f * (tables.k1(w, j) + f * (tables.k2(w, j) + f * tables.k3(w, j)));
    }
    if (interpolation == 1) return tables.values(w)[j] + f * tables.d(w, j);
    return tables.values(w)[j];
  }

  float stepOf(float rate) const { return 1.0f / (rate * 44000.0f + 100.0f) * rateScale; }

  static float wrap(float phase) {
    // A phase more than a period away comes back by whole periods.
    while (phase >= 16384.0f) phase = std::fmod(phase, 16384.0f);
    if (phase < 0.0f) phase = std::fmod(phase, 16384.0f) + 16384.0f;
    return phase;
  }

  float envelope(Voice& v) {
    switch (v.state) {
      case 1:
        v.level += stepOf(v.rate);
        if (v.level >= 1.0f) { v.level = 1.0f; v.state = 2; v.rate = 1.0f - p[8]; }
        break;
      case 2:
        v.level -= stepOf(v.rate);
        if (v.level < p[9]) {
          v.level = p[9]; v.state = 3; v.rate = 0.0f;
          if (p[9] == 0.0f) { v.state = 0; v.note = 0; }
        }
        break;
      case 4:
        v.level -= stepOf(v.rate);
        if (v.level < 0.0f) { v.state = 0; v.note = 0; }
        break;
      default: break;
    }
    return v.level;
  }

  float voiceSample(Voice& v) {
    if (v.state == 0) return 0.0f;
    float e = v.gain * read(wave1, v.phase1);
    float d = v.gain * read(wave2, v.phase2);
    if (p[6] < 0.5f) {
      if (p[16] > 0.0f && v.phase1 > (1.0f - 0.9f * p[16]) * 16384.0f) e = 1.0f - d;
      v.phase1 += p[17] * d * (2000.0f * rateScale);
    } else {
      if (p[16] > 0.0f && v.phase2 > (1.0f - 0.9f * p[16]) * 16384.0f) d = 1.0f - e;
      v.phase2 += p[17] * d * (2000.0f * rateScale);
    }
    if (p[14] > 0.0f) {
      const float glide = 0.03f * rateScale;
      if (v.inc1 < glide1) v.inc1 += glide; else if (v.inc1 > glide1) v.inc1 -= glide;
      if (v.inc2 < glide2) v.inc2 += glide; else if (v.inc2 > glide2) v.inc2 -= glide;
    }
    v.phase1 += (v.inc1 + (p[2] - 0.5f)) * rateScale;
    if (v.phase1 >= 16384.0f) { v.phase1 = wrap(v.phase1 - 16384.0f); v.phase2 = v.phase1; }
    if (v.phase1 < 0.0f) v.phase1 = wrap(v.phase1 + 16384.0f);
    v.phase2 += (v.inc2 + (p[5] - 0.2f)) * rateScale;
    if (v.phase2 >= 16384.0f) v.phase2 = wrap(v.phase2 - 16384.0f);
    if (v.phase2 < 0.0f) v.phase2 = wrap(v.phase2 + 16384.0f);
    const float h = (1.0f - p[6]) * e + p[6] * d;
    const float level = envelope(v);
    float result = p[15] > 0.0f ? level * ((1.0f - p[15]) * h + p[15] * (e + d) * carrier() * 4.0f)
                                : level * h;
    if (p[16] > 0.0f) result *= 0.7f;
    return result;
  }

  float filter(float x) {
    float q = p[12], f = p[11];
    if (f > 0.99f) f = 0.99f;
    if (f < 0.001f) f = 0.001f;
    if (q > 0.98f) q = 0.98f;
    const float fb = q + q / (1.0f - f);
    s0 = s0 + f * (x - s0 + fb * (s0 - s1)) + 1e-24f;
    s1 = s1 + f * (s0 - s1) + 1e-24f;
    if (p[13] < 0.05f) return s1;
    if (p[13] < 0.15f) return x - s1;
    if (p[13] < 0.25f) return s1 * s0 * 4.0f;
    const auto sine = [](float v) { return static_cast<float>(std::sin(static_cast<double>(v))); };
    return sine(sine(s0 + s1) * x + 1e-24f - (s0 - s1)) - s1;
  }

  static float ratio(int s) { return static_cast<float>(std::pow(2.0, s / 12.0)); }

  void noteOn(int note, int velocity) {
    const float base1 = ratio(static_cast<int>(std::nearbyint(static_cast<float>(note) + 48.0f * p[1] - 24.0f)));
    const float base2 = ratio(static_cast<int>(std::nearbyint(static_cast<float>(note) + 48.0f * p[4] - 24.0f)));
    if (p[19] > 0.0f) {
      for (int i = 0; i < 4; ++i) {
        Voice& v = voices[i];
        v.note = note;
        v.gain = static_cast<float>(velocity) / 127.0f * 0.7f;
        const float m = static_cast<float>(i) / 10.0f - 0.25f;
        if (p[14] > 0.0f) { glide1 = base1 + m; glide2 = base2 - m; }
        else { v.inc1 = base1 + m; v.inc2 = base2 - m; }
        v.state = 1; v.level = 0.0f; v.rate = 1.0f - p[7];
      }
      return;
    }
    for (int i = 3; i >= 0; --i) {
      Voice& v = voices[i];
      if (v.note != 0 && v.state != 0) continue;
      v.note = note;
      v.gain = static_cast<float>(velocity) / 127.0f;
      if (p[14] > 0.0f) { glide1 = base1; glide2 = base2; }
      else { v.inc1 = base1; v.inc2 = base2; }
      v.state = 1; v.level = 0.0f; v.rate = 1.0f - p[7];
      if (p[14] == 0.0f) { v.phase1 = 0.0f; v.phase2 = 0.0f; }
      return;
    }
  }

  void noteOff(int index) {
    const auto release = [this](Voice& v) {
      v.state = 4; v.rate = 1.0f - p[10];
      if (p[9] == 0.0f) v.state = 0;
    };
    if (p[19] > 0.0f) {
      for (Voice& v : voices) release(v);
      return;
    }
    if (voices[index].state != 0) release(voices[index]);
  }

  const marrowglint::TWaveTables& tables;
  float p[27];
  int wave1 = 0, wave2 = 0, lfoWave = 0, lfoDest = 6;
  float lfoPhase = 0.0f;
  float glide1 = 0.0f, glide2 = 0.0f;
  float s0 = 0.0f, s1 = 0.0f;
  std::array<float, 501> line{};
  int pos = 0;
};

}  // namespace reference
