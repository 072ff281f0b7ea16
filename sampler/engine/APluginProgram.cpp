#include "sampler/engine/APluginProgram.h"

#include <algorithm>

namespace sarnel {

APluginProgram::APluginProgram() {
  for (int i = 0; i < kNumSoundParams; ++i) {
    params[static_cast<std::size_t>(i)] = kParameterInfo[static_cast<std::size_t>(i)].defaultValue;
  }
  for (int n = 0; n < kNumNotes; ++n) tuning[static_cast<std::size_t>(n)] = defaultTuningValue(n);
  for (auto& byte : pathBytes) byte = 0;
  setName("Init");
}

std::string APluginProgram::path() const { return pathFromBytes(pathBytes); }

void APluginProgram::setName(std::string_view text) {
  const std::size_t length = std::min(text.size(), kNameLength - 1);
  std::copy_n(text.data(), length, name.data());
  std::fill(name.begin() + static_cast<std::ptrdiff_t>(length), name.end(), '\0');
}

}  // namespace sarnel
