#include "NumberText.h"

#include "FileError.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace sarnel {
namespace {

[[noreturn]] void raiseNotInteger(std::string_view text) {
    throw FileError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void raiseNotReal(std::string_view text) {
    throw FileError("'" + std::string(text) + "' is not a valid floating point value");
}

std::string_view skipLeadingBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return text.substr(i);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::int32_t parseInteger(std::string_view text) {
    std::string_view rest = skipLeadingBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // from_chars would accept a second sign; digits only from here on.
    if (rest.empty() || !isDigit(rest.front()))
        raiseNotInteger(text);
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), magnitude);
    if (ec != std::errc() || end != rest.data() + rest.size())
        raiseNotInteger(text);
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        raiseNotInteger(text);
    return static_cast<std::int32_t>(value);
}

double parseReal(std::string_view text) {
    std::string_view rest = skipLeadingBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
    if (rest.empty() || !(isDigit(rest.front()) || rest.front() == '.'))
        raiseNotReal(text);
    double magnitude = 0.0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), magnitude,
                                           std::chars_format::general);
    if (ec != std::errc() || end != rest.data() + rest.size() || !std::isfinite(magnitude))
        raiseNotReal(text);
    return negative ? -magnitude : magnitude;
}

} // namespace sarnel
