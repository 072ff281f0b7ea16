// Sarnel's files read with the instrument's own readers, so the renderer
// reports exactly what the instrument would, before handing it the path.

#include <exception>
#include <filesystem>

#include "render/ExitCode.h"
#include "render/SarnelState.h"
#include "sampler/io/CTuningMap.h"
#include "sampler/io/ReadWaveFile.h"

namespace render {

std::vector<float> tuningValuesOf(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw RenderFailure(ExitCode::tuningUnreadable, "tuning file '" + path + "' could not be found");
  }
  sarnel::CTuningMap map;
  std::string reported;
  map.setErrorReporter([&reported](const std::string& text) { reported = text; });
  try {
    if (!map.loadFile(path)) {
      throw RenderFailure(ExitCode::tuningUnreadable,
                          "tuning file '" + path + "': " + (reported.empty() ? map.errorText() : reported));
    }
  } catch (const RenderFailure&) {
    throw;
  } catch (const std::exception& failure) {
    throw RenderFailure(ExitCode::tuningUnreadable, "tuning file '" + path + "': " + failure.what());
  }
  std::vector<float> values(kTuningNotes);
  for (int note = 0; note < kTuningNotes; ++note) {
    values[static_cast<std::size_t>(note)] = static_cast<float>(map.noteFrequency(note) / kTuningHertzScale);
  }
  return values;
}

void checkSampleFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw RenderFailure(ExitCode::sampleUnreadable, "sample file '" + path + "' could not be found");
  }
  try {
    sarnel::readWaveFile(path);
  } catch (const std::exception& failure) {
    throw RenderFailure(ExitCode::sampleUnreadable, "sample file '" + path + "': " + failure.what());
  }
}

}  // namespace render
