#include "host/Plugin.h"

#include <algorithm>
#include <cstring>

#include "framework/Opcodes.h"

namespace host {
namespace {

using EntryFunction = vst::AEffect* (*)(vst::audioMasterCallback);

// The plug-in calls back while `main` runs, before the host knows its record.
thread_local Plugin* pluginBeingLoaded = nullptr;

// Host-side text buffers are generous: a plug-in that overruns the sizes the
// interface defines still cannot corrupt the host.
constexpr std::size_t kHostTextBuffer = 256;

}  // namespace

const char* describe(Plugin::LoadError error) {
  switch (error) {
    case Plugin::LoadError::none: return "loaded";
    case Plugin::LoadError::cannotOpen: return "the file cannot be loaded as a plug-in library";
    case Plugin::LoadError::noEntry: return "the library exports neither VSTPluginMain nor main";
    case Plugin::LoadError::entryReturnedNull: return "the plug-in's entry returned no effect";
    case Plugin::LoadError::badMagic: return "the plug-in returned a record without the VST magic";
  }
  return "unknown error";
}

Plugin::~Plugin() { close(); }

std::unique_ptr<Plugin> Plugin::load(const std::string& path, const HostConfig& config) {
  LoadError error = LoadError::none;
  std::string message;
  return load(path, config, error, message);
}

std::unique_ptr<Plugin> Plugin::load(const std::string& path, const HostConfig& config,
                                     LoadError& error, std::string& message, Responder responder) {
  std::unique_ptr<Plugin> plugin(new Plugin());
  plugin->hostConfig = config;
  plugin->responder = std::move(responder);
  plugin->timeInfo.sampleRate = config.sampleRate;
  plugin->timeInfo.tempo = config.tempoBpm;
  plugin->timeInfo.timeSigNumerator = 4;
  plugin->timeInfo.timeSigDenominator = 4;
  if (!plugin->library.open(path, message)) {
    error = LoadError::cannotOpen;
    return nullptr;
  }
  auto entry = reinterpret_cast<EntryFunction>(plugin->library.symbol("VSTPluginMain"));
  if (entry == nullptr) entry = reinterpret_cast<EntryFunction>(plugin->library.symbol("main"));
  if (entry == nullptr) {
    error = LoadError::noEntry;
    message = describe(error);
    return nullptr;
  }
  pluginBeingLoaded = plugin.get();
  vst::AEffect* effect = entry(&Plugin::hostCallback);
  pluginBeingLoaded = nullptr;
  if (effect == nullptr) {
    error = LoadError::entryReturnedNull;
    message = describe(error);
    return nullptr;
  }
  if (effect->magic != vst::kEffectMagic) {
    error = LoadError::badMagic;
    message = describe(error);
    return nullptr;
  }
  plugin->record = effect;
  plugin->userFieldAtLoad = effect->user;
  effect->user = plugin.get();
  error = LoadError::none;
  return plugin;
}

vst::VstIntPtr Plugin::hostCallback(vst::AEffect* effect, vst::VstInt32 opcode,
                                    vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                    float opt) {
  Plugin* plugin = nullptr;
  if (effect != nullptr && effect->user != nullptr) plugin = static_cast<Plugin*>(effect->user);
  if (plugin == nullptr) plugin = pluginBeingLoaded;
  if (plugin == nullptr) return opcode == vst::audioMasterVersion ? 2400 : 0;
  return plugin->answer(effect, opcode, index, value, ptr, opt);
}

vst::VstIntPtr Plugin::answer(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                              vst::VstIntPtr value, void* ptr, float opt) {
  HostCall call{opcode, index, value, opt, effect != nullptr};
  if (hostConfig.recordCalls) {
    std::lock_guard<std::mutex> lock(callsMutex);
    recordedCalls.push_back(call);
  }
  if (responder) {
    if (auto answered = responder(call, ptr)) return *answered;
  }
  switch (opcode) {
    case vst::audioMasterVersion: return hostConfig.version;
    case vst::audioMasterCurrentId: return effect != nullptr ? effect->uniqueID : 0;
    case vst::audioMasterGetTime:
      timeInfo.sampleRate = hostConfig.sampleRate;
      timeInfo.tempo = hostConfig.tempoBpm;
      return reinterpret_cast<vst::VstIntPtr>(&timeInfo);
    case vst::audioMasterTempoAt:
      return static_cast<vst::VstIntPtr>(hostConfig.tempoBpm * 10000.0);
    case vst::audioMasterGetSampleRate: return static_cast<vst::VstIntPtr>(hostConfig.sampleRate);
    case vst::audioMasterGetBlockSize: return hostConfig.blockSize;
    case vst::audioMasterGetVendorString:
    case vst::audioMasterGetProductString: {
      if (ptr == nullptr) return 0;
      const std::string& text =
          opcode == vst::audioMasterGetVendorString ? hostConfig.vendor : hostConfig.product;
      // The interface gives these buffers 64 bytes.
      const std::size_t length = std::min<std::size_t>(text.size(), 63);
      std::memcpy(ptr, text.data(), length);
      static_cast<char*>(ptr)[length] = '\0';
      return 1;
    }
    case vst::audioMasterGetVendorVersion: return hostConfig.vendorVersion;
    case vst::audioMasterGetCurrentProcessLevel: return hostConfig.processLevel;
    case vst::audioMasterWantMidi: return 1;
    case vst::audioMasterCanDo: {
      if (ptr == nullptr) return 0;
      const std::string text(static_cast<const char*>(ptr));
      return text == "sendVstEvents" || text == "sendVstMidiEvent" || text == "sendVstTimeInfo"
                 ? 1
                 : 0;
    }
    default: return 0;
  }
}

vst::VstIntPtr Plugin::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                void* ptr, float opt) {
  if (record == nullptr) return 0;
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

void Plugin::setParameter(int index, float value) {
  if (record != nullptr) record->setParameter(record, index, value);
}

float Plugin::getParameter(int index) {
  return record != nullptr ? record->getParameter(record, index) : 0.0f;
}

std::string Plugin::textOf(vst::VstInt32 opcode, int index) {
  char buffer[kHostTextBuffer] = {};
  dispatch(opcode, index, 0, buffer);
  buffer[kHostTextBuffer - 1] = '\0';
  return buffer;
}

std::string Plugin::parameterName(int index) { return textOf(vst::effGetParamName, index); }
std::string Plugin::parameterDisplay(int index) { return textOf(vst::effGetParamDisplay, index); }
std::string Plugin::parameterLabel(int index) { return textOf(vst::effGetParamLabel, index); }
std::string Plugin::programName() { return textOf(vst::effGetProgramName, 0); }
std::string Plugin::effectName() { return textOf(vst::effGetEffectName, 0); }

int Plugin::findParameter(const std::string& name) {
  for (int i = 0; i < numParams(); ++i) {
    if (parameterName(i) == name) return i;
  }
  return -1;
}

void Plugin::start() {
  dispatch(vst::effOpen);
  dispatch(vst::effSetSampleRate, 0, 0, nullptr, hostConfig.sampleRate);
  dispatch(vst::effSetBlockSize, 0, hostConfig.blockSize);
  resume();
}

void Plugin::resume() { dispatch(vst::effMainsChanged, 0, 1); }
void Plugin::suspend() { dispatch(vst::effMainsChanged, 0, 0); }

vst::VstIntPtr Plugin::close() {
  if (record == nullptr) return 0;
  vst::AEffect* closing = record;
  record = nullptr;
  const vst::VstIntPtr answer = closing->dispatcher(closing, vst::effClose, 0, 0, nullptr, 0.0f);
  library.close();
  return answer;
}

vst::VstIntPtr Plugin::sendEvents(EventList& events) {
  return dispatch(vst::effProcessEvents, 0, 0, events.get());
}

vst::VstIntPtr Plugin::sendMidi(const std::vector<MidiMessage>& messages) {
  EventList events(messages);
  return sendEvents(events);
}

void Plugin::processReplacing(float** inputs, float** outputs, int frames) {
  render(record != nullptr ? record->processReplacing : nullptr, inputs, outputs, frames);
}

void Plugin::process(float** inputs, float** outputs, int frames) {
  render(record != nullptr ? record->process : nullptr, inputs, outputs, frames);
}

// Null inputs stand for silence on both input channels.
void Plugin::render(vst::AEffectProcessProc entry, float** inputs, float** outputs, int frames) {
  if (entry == nullptr) return;
  float* silentInputs[2] = {};
  if (inputs == nullptr) {
    const std::size_t channelLength = static_cast<std::size_t>(std::max(frames, 1));
    silence.assign(channelLength * 2, 0.0f);
    silentInputs[0] = silence.data();
    silentInputs[1] = silence.data() + channelLength;
    inputs = silentInputs;
  }
  entry(record, inputs, outputs, frames);
  advanceTransport(frames);
}

std::vector<HostCall> Plugin::calls() const {
  std::lock_guard<std::mutex> lock(callsMutex);
  return recordedCalls;
}

std::vector<HostCall> Plugin::callsWithOpcode(vst::VstInt32 opcode) const {
  std::vector<HostCall> matching;
  for (const HostCall& call : calls()) {
    if (call.opcode == opcode) matching.push_back(call);
  }
  return matching;
}

void Plugin::clearCalls() {
  std::lock_guard<std::mutex> lock(callsMutex);
  recordedCalls.clear();
}

}  // namespace host
