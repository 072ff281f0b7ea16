#pragma once
// Numbers as the controls show and read them: always with "." as the
// decimal separator, whatever the locale of the host process.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace controls {

// Fixed notation with `decimals` decimals after rounding to `precision`
// significant digits (0.5 → "0.500" for 3 and 3; 12.345 → "12.300"). A number
// with more integer digits than `precision` is written in scientific notation
// ("1.23E+003"), as the toolkit's fixed format does.
std::string formatFixed(double value, int precision, int decimals);

// A real number: blanks around, optional sign, digits with an optional "."
// part and exponent. Anything else, and infinities or NaN, is not a number.
std::optional<double> parseReal(std::string_view text);

// A whole number in 32 bits: blanks around, optional sign, decimal digits.
std::optional<std::int32_t> parseInteger(std::string_view text);

// "'<text>' is not a valid integer value", the conversion message.
std::string notAnIntegerMessage(std::string_view text);

}  // namespace controls
