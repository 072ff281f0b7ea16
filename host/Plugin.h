#pragma once
// A loaded VST 2 plug-in as a host sees it: the library, the effect record,
// the host callback's answers and a record of every call the plug-in made.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "framework/AEffect.h"
#include "host/EventList.h"
#include "host/HostConfig.h"
#include "host/SharedLibrary.h"

namespace host {

class Plugin {
 public:
  // What went wrong while loading, for distinct messages and exit codes.
  enum class LoadError { none, cannotOpen, noEntry, entryReturnedNull, badMagic };

  // Answers a host call before the defaults do, when it returns a value.
  using Responder = std::function<std::optional<vst::VstIntPtr>(const HostCall&, void* ptr)>;

  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Loads the library, finds VSTPluginMain (or main) and calls it. The
  // responder, when given, is in place before the entry is called.
  static std::unique_ptr<Plugin> load(const std::string& path, const HostConfig& config,
                                      LoadError& error, std::string& message,
                                      Responder responder = nullptr);
  static std::unique_ptr<Plugin> load(const std::string& path, const HostConfig& config = {});

  vst::AEffect* effect() const { return record; }
  const HostConfig& config() const { return hostConfig; }
  HostConfig& config() { return hostConfig; }
  // The record's `user` field as main returned it, before the host claimed it.
  void* initialUserField() const { return userFieldAtLoad; }

  vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);
  void setParameter(int index, float value);
  float getParameter(int index);
  std::string parameterName(int index);
  std::string parameterDisplay(int index);
  std::string parameterLabel(int index);
  std::string programName();
  std::string effectName();
  int numParams() const { return record->numParams; }
  int numPrograms() const { return record->numPrograms; }
  int findParameter(const std::string& name);

  // The usual start-up: effOpen, sample rate, block size, resume.
  void start();
  void resume();
  void suspend();
  // effClose; the record is gone afterwards. Answers what the plug-in did.
  vst::VstIntPtr close();
  bool isClosed() const { return record == nullptr; }

  vst::VstIntPtr sendEvents(EventList& events);
  vst::VstIntPtr sendMidi(const std::vector<MidiMessage>& messages);

  // Renders `frames` frames. Inputs may be null for silence; outputs are
  // numOutputs channel pointers.
  void processReplacing(float** inputs, float** outputs, int frames);
  void process(float** inputs, float** outputs, int frames);

  std::vector<HostCall> calls() const;
  std::vector<HostCall> callsWithOpcode(vst::VstInt32 opcode) const;
  void clearCalls();
  void setResponder(Responder next) { responder = std::move(next); }
  // Advances the transport position reported through audioMasterGetTime.
  void advanceTransport(int frames) { timeInfo.samplePos += frames; }

 private:
  Plugin() = default;
  static vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode,
                                     vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                     float opt);
  vst::VstIntPtr answer(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                        vst::VstIntPtr value, void* ptr, float opt);
  std::string textOf(vst::VstInt32 opcode, int index);
  void render(vst::AEffectProcessProc entry, float** inputs, float** outputs, int frames);

  SharedLibrary library;
  vst::AEffect* record = nullptr;
  void* userFieldAtLoad = nullptr;
  HostConfig hostConfig;
  Responder responder;
  vst::VstTimeInfo timeInfo{};
  mutable std::mutex callsMutex;
  std::vector<HostCall> recordedCalls;
  std::vector<float> silence;
};

const char* describe(Plugin::LoadError error);

}  // namespace host
