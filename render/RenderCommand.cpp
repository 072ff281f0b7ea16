#include "render/RenderCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "framework/Opcodes.h"
#include "host/MidiFile.h"
#include "host/Plugin.h"
#include "host/PresetFile.h"
#include "host/SongRenderer.h"
#include "host/WaveWriter.h"
#include "render/ExitCode.h"
#include "render/ProgressBar.h"
#include "render/RenderOptions.h"
#include "render/SarnelState.h"
#include "render/SystemServices.h"

namespace render {
namespace {

// A little over two ticks of the instruments' 100 ms timers.
constexpr auto kSettleTime = std::chrono::milliseconds(250);
constexpr auto kSettleStep = std::chrono::milliseconds(10);
constexpr std::int64_t kMaxFrames = std::int64_t{1} << 31;
// A WAV file's sizes are 32-bit; keep clear of 4 GiB with the headers.
constexpr double kMaxWaveBytes = 4.0e9;

host::MidiSong readSong(const std::string& path) {
  try {
    return host::readMidiFile(path);
  } catch (const host::MidiFileError& error) {
    const bool unreadable = error.kind() == host::MidiFileError::Kind::unreadable;
    throw RenderFailure(unreadable ? ExitCode::midiUnreadable : ExitCode::midiMalformed,
                        unreadable ? std::string(error.what()) : "MIDI file '" + path + "': " + error.what());
  }
}

void checkLength(const host::MidiSong& song, const RenderOptions& options) {
  const double tail = options.tailSeconds ? *options.tailSeconds : host::RenderSettings{}.maxTailSeconds;
  const double frames = (song.endSeconds + tail) * options.sampleRate + options.blockSize;
  const double bytes = frames * 2.0 * host::WaveWriter::bytesPerSample(options.format);
  if (frames >= static_cast<double>(kMaxFrames) || bytes >= kMaxWaveBytes) {
    throw RenderFailure(ExitCode::songTooLong, "the song lasts " + std::to_string(song.endSeconds) +
                                                   " s, too long for one WAV file in this format");
  }
}

std::unique_ptr<host::Plugin> loadPlugin(const RenderOptions& options) {
  std::error_code ignored;
  if (!std::filesystem::exists(options.pluginPath, ignored)) {
    throw RenderFailure(ExitCode::pluginNotLoadable, "plug-in file '" + options.pluginPath + "' does not exist");
  }
  host::HostConfig config;
  config.sampleRate = static_cast<float>(options.sampleRate);
  config.blockSize = options.blockSize;
  config.product = "vornhalt-render";
  config.recordCalls = false;
  host::Plugin::LoadError error = host::Plugin::LoadError::none;
  std::string message;
  auto plugin = host::Plugin::load(options.pluginPath, config, error, message);
  if (!plugin) {
    const ExitCode code =
        error == host::Plugin::LoadError::entryReturnedNull ? ExitCode::pluginEntryNull : ExitCode::pluginNotLoadable;
    throw RenderFailure(code, "plug-in '" + options.pluginPath + "': " + message);
  }
  return plugin;
}

void applyPreset(host::Plugin& plugin, const std::string& path) {
  try {
    const host::PresetFile preset = host::readPresetFile(path);
    // A Sarnel preset names its sample; the instrument would stop at a
    // message box over a bad one instead of telling us.
    if (isSarnel(plugin) && preset.uniqueId == kSarnelId) {
      for (const host::ProgramState& program : preset.programs) {
        const std::string sample = samplePathIn(program.values);
        if (!sample.empty()) checkSampleFile(sample);
      }
    }
    host::applyPresetFile(plugin, preset);
  } catch (const host::PresetFileError& error) {
    const bool theFile = error.kind() == host::PresetFileError::Kind::unreadable ||
                         error.kind() == host::PresetFileError::Kind::malformed;
    throw RenderFailure(theFile ? ExitCode::presetUnreadable : ExitCode::presetMismatch,
                        theFile ? std::string(error.what()) : "'" + path + "': " + error.what());
  }
}

void savePreset(const std::string& path, const host::PresetFile& preset) {
  try {
    host::writePresetFile(path, preset);
  } catch (const host::PresetFileError& error) {
    throw RenderFailure(ExitCode::outputUnwritable, error.what());
  }
}

int parameterIndex(host::Plugin& plugin, const std::string& name) {
  const bool digits = name.find_first_not_of("0123456789") == std::string::npos;
  if (digits && name.size() < 10) {
    const int index = std::stoi(name);
    if (index >= plugin.numParams()) {
      throw RenderFailure(ExitCode::badParameter, "parameter " + name + " does not exist; the plug-in has " +
                                                      std::to_string(plugin.numParams()));
    }
    return index;
  }
  int found = -1;
  for (int i = 0; i < plugin.numParams(); ++i) {
    if (plugin.parameterName(i) != name) continue;
    if (found >= 0) {
      throw RenderFailure(ExitCode::badParameter, "parameter name '" + name + "' is not unique; use the index (" +
                                                      std::to_string(found) + ", " + std::to_string(i) + ", ...)");
    }
    found = i;
  }
  if (found < 0) throw RenderFailure(ExitCode::badParameter, "the plug-in has no parameter named '" + name + "'");
  return found;
}

void requireSarnel(host::Plugin& plugin, const char* option) {
  if (!isSarnel(plugin)) {
    throw RenderFailure(ExitCode::usage, std::string(option) + " is for Sarnel; '" + plugin.effectName() +
                                             "' keeps no sample or tuning");
  }
}

// Gives the plug-in's GUI-thread timers their ticks, as a host's idle loop
// does between restoring a project and playing it.
void settle(host::Plugin& plugin) {
  const auto until = std::chrono::steady_clock::now() + kSettleTime;
  while (std::chrono::steady_clock::now() < until) {
    dispatchSystemMessages();
    plugin.dispatch(vst::effIdle);
    plugin.dispatch(vst::effEditIdle);
    std::this_thread::sleep_for(kSettleStep);
  }
}

// Everything the options say about the plug-in's state, in the order a host
// restoring a project would (bank, program, program file, single values),
// while the plug-in is not yet resumed.
void restoreState(host::Plugin& plugin, const RenderOptions& options) {
  if (!options.loadFxb.empty()) applyPreset(plugin, options.loadFxb);
  if (options.program) {
    if (*options.program >= plugin.numPrograms()) {
      throw RenderFailure(ExitCode::badParameter, "program " + std::to_string(*options.program) +
                                                      " does not exist; the plug-in has " +
                                                      std::to_string(plugin.numPrograms()));
    }
    plugin.dispatch(vst::effSetProgram, 0, *options.program);
  }
  if (!options.loadFxp.empty()) applyPreset(plugin, options.loadFxp);
  if (!options.samplePath.empty()) {
    requireSarnel(plugin, "--sample");
    const std::string path = std::filesystem::absolute(options.samplePath).string();
    checkSampleFile(path);
    setSamplePath(plugin, path);
  }
  if (!options.tuningPath.empty()) {
    requireSarnel(plugin, "--tuning");
    setTuning(plugin, tuningValuesOf(options.tuningPath));
  }
  for (const ParameterSetting& setting : options.parameters) {
    plugin.setParameter(parameterIndex(plugin, setting.name), setting.value);
  }
}

// Whether Sarnel holds a sample path now, checked with the instrument's own
// reader before the instrument gets to load it.
bool checkRestoredSample(host::Plugin& plugin) {
  if (!isSarnel(plugin)) return false;
  const std::string path = samplePathOf(plugin);
  if (path.empty()) return false;
  checkSampleFile(path);
  return true;
}

std::string decibels(double value) {
  if (value <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", 20.0 * std::log10(value));
  return text;
}

void printSummary(std::ostream& out, const RenderOptions& options, const host::RenderStats& stats) {
  const double seconds = static_cast<double>(stats.frames) / options.sampleRate;
  const double rms =
      stats.frames > 0 ? std::sqrt(stats.sumOfSquares / (2.0 * static_cast<double>(stats.frames))) : 0.0;
  char text[512];
  std::snprintf(text, sizeof text,
                "Rendered %.3f s (%lld frames at %d Hz, %s) to %s\n"
                "Peak %s, RMS %s, %lld clipped samples\n"
                "Real-time factor %.1fx (%.3f s)\n",
                seconds, static_cast<long long>(stats.frames), options.sampleRate, formatName(options.format),
                options.outPath.c_str(), decibels(stats.peak).c_str(), decibels(rms).c_str(),
                static_cast<long long>(stats.clippedSamples),
                stats.wallSeconds > 0.0 ? seconds / stats.wallSeconds : 0.0, stats.wallSeconds);
  out << text;
}

void renderSong(host::Plugin& plugin, const host::MidiSong& song, const RenderOptions& options, std::ostream& out,
                std::ostream& err) {
  std::unique_ptr<host::WaveWriter> writer;
  try {
    writer = std::make_unique<host::WaveWriter>(options.outPath, options.format, options.sampleRate, 2);
  } catch (const host::WaveWriteError& error) {
    throw RenderFailure(ExitCode::outputUnwritable, error.what());
  }
  host::RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.splitAtEvents = options.splitAtEvents;
  settings.tailSeconds = options.tailSeconds;
  const std::vector<host::TimedMessage> events = host::SongRenderer::schedule(song, options.sampleRate);
  const std::int64_t endFrame = host::SongRenderer::frameAt(song.endSeconds, options.sampleRate);
  ProgressBar progress(err, !options.quiet && standardErrorIsTerminal(), options.sampleRate);
  host::RenderStats stats;
  try {
    stats = host::SongRenderer::render(
        plugin, events, endFrame, options.sampleRate, settings,
        [&writer](const float* const* channels, int frames) { writer->write(channels, frames); },
        [&progress](std::int64_t done, std::int64_t expected) { progress.update(done, expected); },
        [&song, &options](std::int64_t frame) {
          return song.tempoAt(static_cast<double>(frame) / options.sampleRate);
        });
    writer->commit();
  } catch (const host::WaveWriteError& error) {
    progress.finish();
    throw RenderFailure(ExitCode::outputUnwritable, error.what());
  }
  progress.finish();
  if (!options.quiet) printSummary(out, options, stats);
}

void execute(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  host::MidiSong song;
  if (!options.midiPath.empty()) {
    song = readSong(options.midiPath);
    checkLength(song, options);
  }
  auto plugin = loadPlugin(options);
  plugin->dispatch(vst::effOpen);
  plugin->dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(options.sampleRate));
  plugin->dispatch(vst::effSetBlockSize, 0, options.blockSize);
  restoreState(*plugin, options);
  const bool restoredSample = checkRestoredSample(*plugin);
  plugin->resume();
  // Sarnel loads a restored sample from a GUI-thread timer (or when
  // resumed); the render starts once it has had the chance.
  if (restoredSample) settle(*plugin);
  if (!options.saveFxp.empty()) savePreset(options.saveFxp, host::captureProgramFile(*plugin));
  if (!options.saveFxb.empty()) savePreset(options.saveFxb, host::captureBank(*plugin));
  if (!options.midiPath.empty()) renderSong(*plugin, song, options, out, err);
  plugin->suspend();
  plugin->close();
}

}  // namespace

int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    const RenderOptions options = parseRenderOptions(args);
    if (options.help) {
      out << renderUsage();
      return 0;
    }
    execute(options, out, err);
    return static_cast<int>(ExitCode::ok);
  } catch (const RenderFailure& failure) {
    err << "vornhalt-render: " << failure.what() << '\n';
    return static_cast<int>(failure.code());
  } catch (const std::exception& failure) {
    err << "vornhalt-render: " << failure.what() << '\n';
    return static_cast<int>(ExitCode::internalError);
  }
}

}  // namespace render
