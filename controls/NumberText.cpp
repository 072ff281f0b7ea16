#include "controls/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace controls {

namespace {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string toChars(double value, std::chars_format format, int digits) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, digits);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string formatFixed(double value, int precision, int decimals) {
  if (!std::isfinite(value)) return "0";
  if (value == 0.0) return toChars(0.0, std::chars_format::fixed, decimals);
  // Round to `precision` significant digits through the scientific form,
  // which rounds exactly (ties to even on the decimal expansion).
  const double rounded = std::strtod(toChars(value, std::chars_format::scientific, precision - 1).c_str(), nullptr);
  const int integerDigits = static_cast<int>(std::floor(std::log10(std::fabs(rounded)))) + 1;
  if (integerDigits > precision) {
    // d.ddE+ddd: mantissa with precision - 1 decimals, sign and 3 exponent digits.
    std::string scientific = toChars(rounded, std::chars_format::scientific, precision - 1);
    const std::size_t e = scientific.find('e');
    std::string mantissa = scientific.substr(0, e);
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    for (char& c : mantissa) {
      if (c == 'e') c = 'E';
    }
    return mantissa + tail;
  }
  return toChars(rounded, std::chars_format::fixed, decimals);
}

std::optional<double> parseReal(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars reads no sign of its own but would accept "inf" and "nan".
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<std::int32_t> parseInteger(std::string_view text) {
  text = trimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string notAnIntegerMessage(std::string_view text) {
  // Appended piece by piece: gcc 12 warns falsely on chained operator+ here.
  std::string message(1, '\'');
  message.append(text);
  message.append("' is not a valid integer value");
  return message;
}

}  // namespace controls
