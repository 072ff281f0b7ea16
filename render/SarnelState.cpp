#include "render/SarnelState.h"

#include <cmath>

#include "host/Plugin.h"
#include "render/ExitCode.h"

namespace render {

bool isSarnel(const host::Plugin& plugin) { return plugin.effect()->uniqueID == kSarnelId; }

std::vector<float> encodeSamplePath(const std::string& path) {
  if (path.size() >= static_cast<std::size_t>(kPathParameters)) {
    throw RenderFailure(ExitCode::sampleUnreadable,
                        "the sample path '" + path + "' is " + std::to_string(path.size()) +
                            " bytes long; the instrument keeps at most 255");
  }
  if (path.find('\0') != std::string::npos) throw RenderFailure(ExitCode::sampleUnreadable, "the sample path holds a 0 byte");
  std::vector<float> values(kPathParameters, 0.0f);
  for (std::size_t i = 0; i < path.size(); ++i) {
    values[i] = static_cast<float>(static_cast<unsigned char>(path[i])) / 255.0f;
  }
  return values;
}

std::string samplePathIn(const std::vector<float>& values) {
  std::string path;
  if (values.size() < static_cast<std::size_t>(kPathFirstParameter + kPathParameters)) return path;
  for (int i = 0; i < kPathParameters; ++i) {
    // The instrument's own rule: byte = round(value × 255) of a clamped value.
    const float value = values[static_cast<std::size_t>(kPathFirstParameter + i)];
    const auto byte = static_cast<int>(std::nearbyint((value > 1.0f ? 1.0f : value) * 255.0f));
    if (!(byte > 0)) break;
    path += static_cast<char>(byte);
  }
  return path;
}

std::string samplePathOf(host::Plugin& plugin) {
  std::vector<float> values(static_cast<std::size_t>(kPathFirstParameter + kPathParameters), 0.0f);
  for (int i = 0; i < kPathParameters; ++i) {
    values[static_cast<std::size_t>(kPathFirstParameter + i)] = plugin.getParameter(kPathFirstParameter + i);
  }
  return samplePathIn(values);
}

void setSamplePath(host::Plugin& plugin, const std::string& path) {
  const std::vector<float> values = encodeSamplePath(path);
  for (int i = 0; i < kPathParameters; ++i) plugin.setParameter(kPathFirstParameter + i, values[static_cast<std::size_t>(i)]);
}

void setTuning(host::Plugin& plugin, const std::vector<float>& values) {
  for (int i = 0; i < kTuningNotes; ++i) plugin.setParameter(kTuningFirstParameter + i, values[static_cast<std::size_t>(i)]);
}

}  // namespace render
