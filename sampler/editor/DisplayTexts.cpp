#include "sampler/editor/DisplayTexts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "controls/NumberText.h"
#include "sampler/dsp/TTempoRateTable.h"

namespace sarnel {

namespace {

template <std::size_t N>
std::string_view entryFor(const std::array<std::string_view, N>& table, float value) {
  const std::int32_t index = roundEven(static_cast<double>(value) * static_cast<double>(N - 1));
  return table[static_cast<std::size_t>(std::clamp<std::int32_t>(index, 0, static_cast<std::int32_t>(N - 1)))];
}

constexpr std::array<std::string_view, 6> kWaveLabels{"sine", "saw1", "saw2", "squr", "trian", "noise"};
constexpr std::array<std::string_view, 4> kLoopModeLabels{"  no loop", " loop only", "start+loop", "ping pong"};
constexpr std::array<std::string_view, 13> kDestinationLabels{"pitch", "l.strt", "l.end", "f.lo",  "f.hi",
                                                              "reso",  "delay",  "feedb", "attck", "decay",
                                                              "sustn", "relea",  "volum"};

}  // namespace

std::int32_t roundEven(double x) {
  const double r = std::nearbyint(x);
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (r >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(r);
}

std::string_view lfoWaveLabel(float value) { return entryFor(kWaveLabels, value); }
std::string_view loopModeLabel(float value) { return entryFor(kLoopModeLabels, value); }
std::string_view lfoDestinationLabel(float value) { return entryFor(kDestinationLabels, value); }

std::int32_t percentOf(std::int32_t pixels, std::int32_t scale, std::int32_t length) {
  return roundEven(static_cast<double>(pixels * scale) / length);
}

std::string lfoSpeedReadout(std::string_view prefix, float rate, float sync) {
  std::string text(prefix);
  if (!(rate > 0.0f)) return text + "off";
  if (sync > 0.5f) return text + std::string(TTempoRateTable::rateName(rate)) + "x";
  return text + controls::formatFixed(static_cast<double>(rate) * 4.0, 3, 3) + " Hz";
}

std::string pitchReadout(float pitch) {
  return "pitch: " + std::to_string(roundEven(static_cast<double>(pitch) * 400.0 - 200.0)) + "%";
}

}  // namespace sarnel
