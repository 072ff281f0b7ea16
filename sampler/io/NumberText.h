#pragma once

#include <cstdint>
#include <string_view>

namespace sarnel {

// Number conversion for file contents. Always "." as the decimal separator,
// whatever locale the host process runs in. A text that is not a number
// raises FileError with the runtime-style message
// "'<text>' is not a valid integer value" or
// "'<text>' is not a valid floating point value".

// Optional leading blanks, optional sign, decimal digits, nothing after them.
// Values outside int32 are not valid.
std::int32_t parseInteger(std::string_view text);

// Optional leading blanks, optional sign, digits with an optional "." and an
// optional exponent, nothing after them. Infinities, NaN and values outside
// the double range are not valid.
double parseReal(std::string_view text);

} // namespace sarnel
