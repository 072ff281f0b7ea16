#pragma once

#include <stdexcept>
#include <string>

namespace sarnel {

// Raised by the file readers (WAV samples, tuning and scale files) with a text
// meant for the user. Nothing in sampler/io catches it; the engine and the
// editor decide how to show it.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace sarnel
