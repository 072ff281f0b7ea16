#include "sampler/engine/ParameterTable.h"

#include <cmath>

#include "sampler/engine/Nearest.h"

namespace sarnel {
namespace {

// 2^(i/12) for i = 0 ... 11, each the double nearest to the exact value.
constexpr std::array<double, 12> kSemitoneRatios{
    1.0,
    1.0594630943592953,
    1.122462048309373,
    1.189207115002721,
    1.2599210498948732,
    1.3348398541700344,
    1.4142135623730951,
    1.4983070768766815,
    1.5874010519681996,
    1.681792830507429,
    1.7817974362806785,
    1.887748625363387,
};

constexpr std::array<std::string_view, kNumAssignments> kControllerSettingNames{
    "CC 0",  "CC 1",  "CC 2",  "CC 3",  "CC 4",  "CC 5",  "CC 6",  "CC 7",  "CC 8",  "CC 9",  "CC 10",
    "CC 11", "CC 12", "CC 13", "CC 14", "CC 15", "CC 16", "CC 17", "CC 18", "CC 19", "CC 20", "CC 21",
    "CC 22", "CC 23", "CC 24", "CC 25", "CC 26", "CC 27", "CC 28", "CC 29", "CC 30"};

}  // namespace

int lfoDestinationFor(float value) noexcept {
  const std::int32_t entry = nearest(value * 12.0f);
  if (entry < 0 || entry >= static_cast<std::int32_t>(kLfoDestinations.size())) return kPitch;
  return kLfoDestinations[static_cast<std::size_t>(entry)];
}

float defaultTuningValue(int note) noexcept {
  int semitones = note - 69;
  int octave = semitones / 12;
  int step = semitones % 12;
  if (step < 0) {
    step += 12;
    --octave;
  }
  // Scaling by a power of two is exact, so only the table value is rounded.
  const double hertz = 440.0 * std::ldexp(kSemitoneRatios[static_cast<std::size_t>(step)], octave);
  return static_cast<float>(hertz / kTuningScale);
}

std::string_view controllerSettingName(int entry) noexcept {
  if (entry < 0 || entry >= kNumAssignments) return {};
  return kControllerSettingNames[static_cast<std::size_t>(entry)];
}

}  // namespace sarnel
