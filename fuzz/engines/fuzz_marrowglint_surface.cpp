// Marrowglint driven in process by a hostile host (SurfaceDriver): any
// parameter index and value, the editor's commands 911 and 999 (the latter
// after a settings value was changed, as the editor does), dispatcher opcodes
// with our own buffers, event lists and audio blocks. The settings live in
// memory and start with whatever another program may have left there.

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FuzzHost.h"
#include "FuzzInput.h"
#include "SurfaceDriver.h"
#include "platform/headless/MemorySettingsStore.h"
#include "synth/engine/APlugin.h"
#include "synth/engine/ControllerSlots.h"
#include "synth/engine/TWaveTables.h"

namespace {

constexpr std::array<vst::VstInt32, 24> kIndices = {0,  3,  6,  13, 14, 15, 16,  17,  18,  19,  22,  23,
                                                    24, 25, 26, 27, 29, 30, 500, 910, 911, 912, 999, 1000};

// Every index answers a live value in 0 ... 1, or 0.
bool anyIndexInUnitRange(vst::VstInt32) { return true; }

const fuzz::SurfaceProfile kProfile{kIndices, anyIndexInUnitRange};

std::string anySettingText(fuzz::FuzzInput& in) {
  static constexpr std::array<const char*, 15> kTexts = {
      "0",   "1",   "2",          "3",           "74",          "-74",          "129", "-129",
      "200", "-200", "2147483647", "-2147483648", "99999999999", "not a number", ""};
  return in.flag() ? std::string(in.pick(kTexts)) : in.text(12);
}

const char* anySettingName(fuzz::FuzzInput& in) {
  const std::uint32_t choice = in.below(marrowglint::kNumControllerSlots + 4);
  if (choice < marrowglint::kNumControllerSlots) return marrowglint::kControllerSlots[choice].settingName;
  if (choice == marrowglint::kNumControllerSlots) return marrowglint::kSettingInterpolate;
  if (choice == marrowglint::kNumControllerSlots + 1) return marrowglint::kSettingForceOrionFix;
  if (choice == marrowglint::kNumControllerSlots + 2) return marrowglint::kSettingFixedRatePitch;
  return marrowglint::kSettingDrawMode;
}

class MarrowglintDriver final : public fuzz::SurfaceDriver {
 public:
  MarrowglintDriver(vst::AEffect* effect, platform::MemorySettingsStore& store)
      : SurfaceDriver(effect, kProfile), store_(store) {}

  // With the voices at zero volume, the LFO still, no ring modulation or
  // comb feedback and an open low-pass, the input comes through: the comb
  // averages it with itself 501 frames back, the filter settles within a
  // few frames.
  void checkRecovery() override {
    for (const auto& [index, value] :
         {std::pair{marrowglint::kOutVol, 0.0f}, {marrowglint::kLFOAmnt, 0.0f}, {marrowglint::kMix, 0.0f},
          {marrowglint::kRMod, 0.0f}, {marrowglint::kTube, 0.0f}, {marrowglint::kFilt, 0.0f},
          {marrowglint::kCut, 1.0f}, {marrowglint::kReso, 0.0f}, {marrowglint::kPhase, 0.0f}}) {
      setParameter(index, value);
    }
    const std::vector<float> out = renderConstant(0.5f, 1200);
    for (std::size_t i = out.size() - 200; i < out.size(); ++i) {
      if (!(std::fabs(out[i] - 0.5f) < 1e-3f)) fuzz::fail("the input did not come through after a reset");
    }
  }

 protected:
  unsigned engineOpCount() const override { return 1; }

  bool engineOp(unsigned op, fuzz::FuzzInput& in) override {
    if (op != 0) return false;
    // The editor writes one assignment and has the engine reload them all.
    store_.setText(marrowglint::kSettingsSubkey, anySettingName(in), anySettingText(in));
    setParameter(999, in.flag() ? 1.0f : in.anyFloat());
    return true;
  }

 private:
  platform::MemorySettingsStore& store_;
};

std::string anyHostText(fuzz::FuzzInput& in) {
  static constexpr std::array<const char*, 4> kTexts = {"Fuzz Host", "", "Sonic Syndicate",
                                                        "0123456789012345678901234567890123456789012345678901234567890xy"};
  return in.flag() ? std::string(in.pick(kTexts)) : in.text(80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  fuzz::hostAnswers() = fuzz::HostAnswers{};
  fuzz::hostAnswers().vendor = anyHostText(in);
  fuzz::hostAnswers().product = anyHostText(in);

  auto store = std::make_shared<platform::MemorySettingsStore>();
  const unsigned settings = in.below(8);
  for (unsigned i = 0; i < settings; ++i) {
    const char* name = anySettingName(in);
    store->setText(marrowglint::kSettingsSubkey, name, anySettingText(in));
  }

  marrowglint::APluginOptions options;
  options.settings = store;
  // Two noise tables, kept built: building one per input would be most of
  // the fuzzer's time.
  static const std::array<std::shared_ptr<const marrowglint::TWaveTables>, 2> kKeptTables = {
      marrowglint::TWaveTables::shared(1), marrowglint::TWaveTables::shared(2)};
  static_cast<void>(kKeptTables);
  options.noiseSeed = in.flag() ? 1 : 2;
  auto* plugin = new marrowglint::APlugin(fuzz::hostCallback, std::move(options));
  vst::AEffect* effect = plugin->getAeffect();
  MarrowglintDriver driver(effect, *store);
  if (in.flag()) {
    // The usual start of a host, from which most runs go on.
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
