#pragma once
// Shared helpers of the renderer's tests: scratch folders, plug-in paths,
// running the command in-process and reading its WAV output back with
// Sarnel's own reader (an implementation independent of our writer).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "render/RenderCommand.h"
#include "sampler/io/ReadWaveFile.h"

namespace render_test {

// A fresh, empty folder for one test.
inline std::string workDir(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(VORNHALT_BINARY_DIR) / "tests" / "render" / "work" / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline std::string inDir(const std::string& dir, const std::string& file) {
  return (std::filesystem::path(dir) / file).string();
}

inline std::string pluginPath(const std::string& name) {
  return std::string(VORNHALT_PLUGIN_DIR) + "/" + name + VORNHALT_PLUGIN_SUFFIX;
}
inline std::string gateProbePath() { return std::string(VORNHALT_TEST_PLUGIN_DIR) + "/GateProbe" VORNHALT_PLUGIN_SUFFIX; }
inline std::string frameworkProbePath() {
  return std::string(VORNHALT_TEST_PLUGIN_DIR) + "/FrameworkProbe" VORNHALT_PLUGIN_SUFFIX;
}
inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

struct RunResult {
  int code = 0;
  std::string out;
  std::string err;
};

inline RunResult run(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  RunResult result;
  result.code = render::runRender(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

struct StereoAudio {
  std::vector<float> left;
  std::vector<float> right;
  int sampleRate = 0;
  std::size_t frames() const { return left.size(); }
};

inline StereoAudio readStereo(const std::string& path) {
  const sarnel::WaveFileData data = sarnel::readWaveFile(path);
  StereoAudio audio;
  audio.sampleRate = data.sampleRate;
  const std::size_t channels = static_cast<std::size_t>(data.channels);
  for (std::size_t i = 0; i + channels <= data.samples.size(); i += channels) {
    audio.left.push_back(data.samples[i]);
    audio.right.push_back(data.samples[i + channels - 1]);
  }
  return audio;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Files in a folder (to prove that nothing was left behind).
inline std::vector<std::string> filesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

}  // namespace render_test
