// Sarnel driven in process by a hostile host (SurfaceDriver): any parameter
// index and value, the editor's commands, dispatcher opcodes with our own
// buffers, event lists and audio blocks. The settings live in memory, message
// boxes answer from a script, timers run on a manual clock, and the sample
// path only ever names one of TinyWaves' files, so nothing blocks or touches
// the user's files.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FuzzHost.h"
#include "FuzzInput.h"
#include "SurfaceDriver.h"
#include "TinyWaves.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/headless/ScriptedDialogs.h"
#include "platform/headless/ScriptedMessageBoxes.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/ParameterTable.h"

namespace {

constexpr vst::VstInt32 kPathFirst = sarnel::kPathFirst;
constexpr vst::VstInt32 kPathEnd = sarnel::kTuningFirst;

constexpr std::array<vst::VstInt32, 48> kIndices = {
    0,    1,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,   16,   17,   20,
    21,   22,   23,   26,   28,   29,   30,   31,   285,  286,  355,  413,  414,  499,  500,  642,
    643,  644,  645,  646,  647,  648,  911,  949,  950,  951,  952,  999,  1000, 1013, 1029, 1030};

bool sarnelUnitRange(vst::VstInt32 index) { return index >= 0 && index < sarnel::kSpareFirst; }

const fuzz::SurfaceProfile kProfile{kIndices, sarnelUnitRange};

struct Fixture {
  fuzz::TinyWaves waves;
  platform::ManualTimerService timers;
  platform::ScriptedMessageBoxes boxes;
  platform::ScriptedDialogs dialogs;  // installs itself
  Fixture() {
    platform::setTimerServiceForTesting(&timers);
    platform::setMessageBoxServiceForTesting(&boxes);
  }
};

Fixture* fixture = nullptr;

class SarnelDriver final : public fuzz::SurfaceDriver {
 public:
  using SurfaceDriver::SurfaceDriver;

  // Without a sample, at neutral filter, no delay, no feedback and full
  // volume the effect path passes its input on one frame late.
  void checkRecovery() override {
    setParameter(sarnel::kCommandUnload, 1.0f);
    for (const auto& [index, value] : {std::pair{sarnel::kFilterLow, 0.0f}, {sarnel::kFilterHigh, 1.0f},
                                       {sarnel::kFilterReso, 0.0f}, {sarnel::kDelay, 0.0f},
                                       {sarnel::kFeedback, 0.0f}, {sarnel::kVolume, 1.0f},
                                       {sarnel::kLfo1Rate, 0.0f}, {sarnel::kLfo2Rate, 0.0f}}) {
      setParameter(index, value);
    }
    const std::vector<float> out = renderConstant(0.5f, 8);
    for (std::size_t i = 2; i < out.size(); ++i) {
      if (out[i] != 0.5f) fuzz::fail("the effect path did not pass its input on after a reset");
    }
  }

  void selectPath(std::size_t choice) {
    path_ = &fixture->waves.paths()[choice % fixture->waves.paths().size()];
    writePath();
  }

 protected:
  unsigned engineOpCount() const override { return 4; }

  bool engineOp(unsigned op, fuzz::FuzzInput& in) override {
    switch (op) {
      case 0:
        selectPath(in.byte());
        return true;
      case 1:
        // The sample timer ticks every 100 ms.
        fixture->timers.advance(in.below(350));
        return true;
      case 2:
        fixture->boxes.queueAnswer(in.flag() ? platform::MessageResult::ok : platform::MessageResult::cancel);
        return true;
      case 3: {
        static constexpr std::array<vst::VstIntPtr, 8> kTempos = {0,        1200000, 100000,  99999,
                                                                  4000000, 4000001, -1,      2147483647};
        fuzz::hostAnswers().tempo = in.flag() ? in.pick(kTempos) : static_cast<vst::VstIntPtr>(in.i32());
        return true;
      }
      default:
        return false;
    }
  }

  // A host may write any byte of the path; the fuzz set-up then names one of
  // its own files again, so no load ever reaches another file.
  void afterSetParameter(vst::VstInt32 index) override {
    if (index >= kPathFirst && index < kPathEnd) writePath();
  }

 private:
  void writePath() {
    const std::string& path = *path_;
    for (std::size_t i = 0; i <= path.size(); ++i) {
      const auto byte = static_cast<unsigned char>(i < path.size() ? path[i] : '\0');
      setParameter(kPathFirst + static_cast<vst::VstInt32>(i), static_cast<float>(byte) / 255.0f);
    }
  }

  const std::string* path_ = &fixture->waves.paths().front();
};

std::string anySettingText(fuzz::FuzzInput& in) {
  static constexpr std::array<const char*, 14> kTexts = {
      "0",   "7",          "-7",          "123",         "128", "-128", "200", "-200", "2147483647",
      "-2147483648",       "99999999999", "not a number", " 12 ", ""};
  return in.flag() ? std::string(in.pick(kTexts)) : in.text(12);
}

std::string anyHostText(fuzz::FuzzInput& in) {
  static constexpr std::array<const char*, 4> kTexts = {"Fuzz Host", "", "Sonic Syndicate",
                                                        "0123456789012345678901234567890123456789012345678901234567890xy"};
  return in.flag() ? std::string(in.pick(kTexts)) : in.text(80);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fixture = new Fixture();  // lives as long as the process
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  fixture->boxes.clear();
  fuzz::hostAnswers() = fuzz::HostAnswers{};
  fuzz::hostAnswers().vendor = anyHostText(in);
  fuzz::hostAnswers().product = anyHostText(in);

  // What another program may have left in the settings.
  auto store = std::make_shared<platform::MemorySettingsStore>();
  const unsigned settings = in.below(8);
  for (unsigned i = 0; i < settings; ++i) {
    const std::string name = "CC " + std::to_string(in.below(32));
    store->setText(sarnel::kSettingsSubkey, name, anySettingText(in));
  }

  sarnel::APluginOptions options;
  options.settings = store;
  auto* plugin = new sarnel::APlugin(fuzz::hostCallback, std::move(options));
  SarnelDriver driver(plugin->getAeffect(), kProfile);
  driver.selectPath(in.byte());
  if (in.flag()) {
    // The usual start of a host, from which most runs go on.
    vst::AEffect* effect = plugin->getAeffect();
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, 512, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  }
  driver.run(in);
  driver.checkRecovery();
  driver.close();
  return 0;
}
