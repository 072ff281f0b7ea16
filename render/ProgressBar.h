#pragma once
// A one-line progress bar redrawn in place on a terminal.

#include <chrono>
#include <cstdint>
#include <ostream>

namespace render {

class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool enabled, int sampleRate);
  // Redraws at most ten times a second.
  void update(std::int64_t framesDone, std::int64_t framesExpected);
  // Clears the line.
  void finish();

 private:
  std::ostream& out;
  bool enabled;
  int sampleRate;
  bool drawn = false;
  std::chrono::steady_clock::time_point lastDraw{};
};

}  // namespace render
