#include "render/ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace render {

namespace {
constexpr int kBarWidth = 40;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool enabled, int sampleRate)
    : out(out), enabled(enabled), sampleRate(sampleRate) {}

void ProgressBar::update(std::int64_t framesDone, std::int64_t framesExpected) {
  if (!enabled || framesExpected <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn && now - lastDraw < kRedrawInterval) return;
  lastDraw = now;
  drawn = true;
  const double fraction = std::clamp(static_cast<double>(framesDone) / static_cast<double>(framesExpected), 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  char line[128];
  std::snprintf(line, sizeof line, "\r[%s%s] %3d%%  %7.1f s", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(),
                static_cast<int>(fraction * 100.0), static_cast<double>(framesDone) / sampleRate);
  out << line << std::flush;
}

void ProgressBar::finish() {
  if (!enabled || !drawn) return;
  out << '\r' << std::string(kBarWidth + 20, ' ') << '\r' << std::flush;
  drawn = false;
}

}  // namespace render
