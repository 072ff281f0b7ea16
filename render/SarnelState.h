#pragma once
// Sarnel keeps its whole state in parameters: the sample's path one byte per
// parameter (30 … 285) and the tuning as 128 frequencies (286 … 413). The
// renderer fills them as a host restoring a project would.

#include <string>
#include <vector>

#include "framework/AEffect.h"

namespace host {
class Plugin;
}

namespace render {

constexpr vst::VstInt32 kSarnelId = vst::fourCharCode('Z', 'Q', 'S', 'K');
constexpr int kPathFirstParameter = 30;
constexpr int kPathParameters = 256;  // 255 bytes and the terminating 0
constexpr int kTuningFirstParameter = 286;
constexpr int kTuningNotes = 128;
constexpr double kTuningHertzScale = 30000.0;  // parameter value = hertz ÷ 30000

bool isSarnel(const host::Plugin& plugin);

// The 256 parameter values of a path (byte ÷ 255, zero after the end).
// Throws RenderFailure when the path does not fit.
std::vector<float> encodeSamplePath(const std::string& path);
// The path held by a program's parameter values (bytes up to the first 0);
// empty when the values are too few to hold one.
std::string samplePathIn(const std::vector<float>& values);
// The path the plug-in holds now.
std::string samplePathOf(host::Plugin& plugin);
void setSamplePath(host::Plugin& plugin, const std::string& path);

// The 128 parameter values of a tuning or scale file, each hertz ÷ 30000
// rounded to a float, as the editor's tuning command sends them. Throws
// RenderFailure (tuning) with the tuning reader's own message.
std::vector<float> tuningValuesOf(const std::string& path);
void setTuning(host::Plugin& plugin, const std::vector<float>& values);

// Reads the file with the instrument's own WAV reader; throws RenderFailure
// (sample) with its message when the instrument could not load it.
void checkSampleFile(const std::string& path);

}  // namespace render
