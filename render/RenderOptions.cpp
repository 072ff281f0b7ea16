#include "render/RenderOptions.h"

#include <charconv>
#include <cmath>

#include "render/ExitCode.h"

namespace render {
namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 384000;
constexpr int kMaxBlock = 65536;
constexpr double kMaxTailSeconds = 3600.0;

[[noreturn]] void usageError(const std::string& message) {
  throw RenderFailure(ExitCode::usage, message + " (see --help)");
}

double parseNumber(const std::string& option, const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) {
    usageError(option + " expects a number, not '" + text + "'");
  }
  return value;
}

int parseInteger(const std::string& option, const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) usageError(option + " expects a whole number, not '" + text + "'");
  if (value < low || value > high) {
    usageError(option + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
  }
  return value;
}

ParameterSetting parseParameter(const std::string& text) {
  // The last '=' separates: plug-in names may hold almost anything else.
  const std::size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0) usageError("--param expects INDEX=VALUE or NAME=VALUE, not '" + text + "'");
  const double value = parseNumber("--param", text.substr(equals + 1));
  if (value < 0.0 || value > 1.0) usageError("--param values lie between 0 and 1, not " + text.substr(equals + 1));
  return {text.substr(0, equals), static_cast<float>(value)};
}

host::SampleFormat parseFormat(const std::string& text) {
  if (text == "16") return host::SampleFormat::pcm16;
  if (text == "24") return host::SampleFormat::pcm24;
  if (text == "32f") return host::SampleFormat::float32;
  usageError("--bits expects 16, 24 or 32f, not '" + text + "'");
}

}  // namespace

const char* formatName(host::SampleFormat format) {
  switch (format) {
    case host::SampleFormat::pcm16: return "16-bit PCM";
    case host::SampleFormat::pcm24: return "24-bit PCM";
    case host::SampleFormat::float32: return "32-bit float";
  }
  return "?";
}

const char* renderUsage() {
  return "Usage: vornhalt-render --plugin PATH [--midi SONG.mid --out SONG.wav] [options]\n"
         "Renders a Standard MIDI File through a VST 2 instrument into a WAV file.\n"
         "\n"
         "  --plugin PATH        the plug-in (.so or .dll)\n"
         "  --midi FILE          the song (Standard MIDI File, format 0 or 1)\n"
         "  --out FILE           the WAV file to write\n"
         "  --tail SECONDS       render this long after the last event (default: until\n"
         "                       0.5 s of silence, at most 10 s)\n"
         "  --rate HZ            sample rate (default 44100)\n"
         "  --block FRAMES       largest block (default 512)\n"
         "  --no-split           fixed blocks; by default blocks end at event times so\n"
         "                       every event sounds at its exact frame\n"
         "  --program N          select program N (from 0)\n"
         "  --param INDEX=VALUE  set a parameter (value 0 ... 1); repeatable\n"
         "  --param NAME=VALUE   the same by the name the plug-in reports\n"
         "  --bits 16|24|32f     sample format of the WAV file (default 32f)\n"
         "  --sample FILE        Sarnel: the WAV sample to play\n"
         "  --tuning FILE        Sarnel: a tuning (.tun) or scale (.scl) file\n"
         "  --fxp FILE           load a program file into the current program\n"
         "  --fxb FILE           load a bank file\n"
         "  --save-fxp FILE      save the current program (after the options above)\n"
         "  --save-fxb FILE      save all programs\n"
         "  --quiet              no progress bar and no summary\n"
         "  --help               this text\n"
         "\n"
         "Exit codes: 0 done, 2 usage, 3 plug-in not loadable, 4 plug-in gave no effect,\n"
         "5 MIDI file unreadable, 6 MIDI file malformed, 7 sample file, 8 tuning file,\n"
         "9 preset file unreadable or malformed, 10 preset for another plug-in,\n"
         "11 output not writable, 12 unknown parameter or program, 13 song too long,\n"
         "1 anything else.\n";
}

RenderOptions parseRenderOptions(const std::vector<std::string>& args) {
  RenderOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) usageError(option + " needs a value");
      return args[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--plugin") {
      options.pluginPath = value();
    } else if (option == "--midi") {
      options.midiPath = value();
    } else if (option == "--out") {
      options.outPath = value();
    } else if (option == "--tail") {
      const double seconds = parseNumber(option, value());
      if (seconds < 0.0 || seconds > kMaxTailSeconds) usageError("--tail must lie between 0 and 3600 seconds");
      options.tailSeconds = seconds;
    } else if (option == "--rate") {
      options.sampleRate = parseInteger(option, value(), kMinRate, kMaxRate);
    } else if (option == "--block") {
      options.blockSize = parseInteger(option, value(), 1, kMaxBlock);
    } else if (option == "--no-split") {
      options.splitAtEvents = false;
    } else if (option == "--program") {
      options.program = parseInteger(option, value(), 0, 1 << 30);
    } else if (option == "--param") {
      options.parameters.push_back(parseParameter(value()));
    } else if (option == "--bits") {
      options.format = parseFormat(value());
    } else if (option == "--sample") {
      options.samplePath = value();
    } else if (option == "--tuning") {
      options.tuningPath = value();
    } else if (option == "--fxp") {
      options.loadFxp = value();
    } else if (option == "--fxb") {
      options.loadFxb = value();
    } else if (option == "--save-fxp") {
      options.saveFxp = value();
    } else if (option == "--save-fxb") {
      options.saveFxb = value();
    } else if (option == "--quiet") {
      options.quiet = true;
    } else {
      usageError("unknown option '" + option + "'");
    }
  }
  if (options.help) return options;
  if (options.pluginPath.empty()) usageError("--plugin is required");
  if (options.midiPath.empty() != options.outPath.empty()) usageError("--midi and --out go together");
  if (options.midiPath.empty() && options.saveFxp.empty() && options.saveFxb.empty()) {
    usageError("nothing to do: give --midi and --out, or --save-fxp or --save-fxb");
  }
  return options;
}

}  // namespace render
