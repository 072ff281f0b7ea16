#pragma once
// The command line of vornhalt-render.

#include <optional>
#include <string>
#include <vector>

#include "host/WaveWriter.h"

namespace render {

struct ParameterSetting {
  std::string name;  // an index in decimal digits, or the name the plug-in reports
  float value = 0.0f;
};

struct RenderOptions {
  std::string pluginPath;
  std::string midiPath;
  std::string outPath;
  std::optional<double> tailSeconds;
  int sampleRate = 44100;
  int blockSize = 512;
  bool splitAtEvents = true;
  std::optional<int> program;
  std::vector<ParameterSetting> parameters;
  host::SampleFormat format = host::SampleFormat::float32;
  std::string samplePath;
  std::string tuningPath;
  std::string loadFxp;
  std::string loadFxb;
  std::string saveFxp;
  std::string saveFxb;
  bool quiet = false;
  bool help = false;
};

// Throws RenderFailure (usage) with a message naming the bad argument.
RenderOptions parseRenderOptions(const std::vector<std::string>& args);
const char* renderUsage();
const char* formatName(host::SampleFormat format);

}  // namespace render
