#pragma once
// The texts of Sarnel's editor that come from parameter values: the label
// tables of the refresh tick and the read-outs of the status line. Values
// are the engine's 0 ... 1; rounding is to the nearest integer, ties to even.

#include <cstdint>
#include <string>
#include <string_view>

namespace sarnel {

// round(x), a half going to the even neighbour.
std::int32_t roundEven(double x);

// "sine" ... "noise" for round(value x 5).
std::string_view lfoWaveLabel(float value);
// "  no loop", " loop only", "start+loop", "ping pong" for round(value x 3).
std::string_view loopModeLabel(float value);
// "pitch" ... "volum" for round(value x 12).
std::string_view lfoDestinationLabel(float value);

// round(pixels x scale / length) with the product taken in integers first.
std::int32_t percentOf(std::int32_t pixels, std::int32_t scale, std::int32_t length);

// The LFO speed read-out ("lfo1 speed: 2.000 Hz", "... 1/4x", "... off") for
// `prefix` ("lfo1 speed: ") and the rate and sync values.
std::string lfoSpeedReadout(std::string_view prefix, float rate, float sync);

// "pitch: -25%" for the pitch parameter's value.
std::string pitchReadout(float pitch);

}  // namespace sarnel
