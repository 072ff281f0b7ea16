#pragma once
// The errors controls raise for a setting they refuse. Their texts are the
// user-facing messages; the GUI's exception handling shows them.

#include <stdexcept>

namespace controls {

// A text that does not convert (node lists).
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A setting that is not allowed in the control's current state.
class InvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace controls
