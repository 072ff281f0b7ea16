// Sarnel's parameter index space, program, strings and controller settings,
// through the engine's public operations.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sampler/engine/APluginEditor.h"
#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::EngineTest;

std::string nameOf(APlugin& plugin, int index) {
  char text[64] = {};
  plugin.getParameterName(index, text);
  return text;
}

std::string displayOf(APlugin& plugin, int index) {
  char text[64] = {};
  plugin.getParameterDisplay(index, text);
  return text;
}

using SarnelRecord = EngineTest;

TEST_F(SarnelRecord, ConstructionLeavesTheDocumentedRecord) {
  const vst::AEffect* record = plugin->getAeffect();
  EXPECT_EQ(record->numPrograms, 1);
  EXPECT_EQ(record->numParams, 500);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0x19);
  EXPECT_EQ(record->uniqueID, vst::fourCharCode('Z', 'Q', 'S', 'K'));
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(plugin->dispatcher(vst::effGetPlugCategory, 0, 0, nullptr, 0.0f), 0);
  // The constructor's own program application enabled the audio.
  EXPECT_TRUE(plugin->isAudioEnabled());
  EXPECT_TRUE(plugin->isNoSample());
  EXPECT_TRUE(plugin->isEditorClosed());
  EXPECT_TRUE(plugin->isSampleTimerRunning());
}

TEST_F(SarnelRecord, StringsPinsAndCanDo) {
  char text[80] = {};
  plugin->getProgramName(text);
  EXPECT_STREQ(text, "Init Preset");
  EXPECT_TRUE(plugin->getEffectName(text));
  EXPECT_STREQ(text, "Sarnel FX");
  EXPECT_TRUE(plugin->getProductString(text));
  EXPECT_STREQ(text, "Sarnel FX");
  EXPECT_TRUE(plugin->getVendorString(text));
  EXPECT_STREQ(text, "Vornhalt");
  EXPECT_EQ(plugin->getVendorVersion(), 1);

  vst::VstPinProperties pin{};
  EXPECT_TRUE(plugin->getOutputProperties(1, &pin));
  EXPECT_STREQ(pin.label, "SARNE 2");
  EXPECT_EQ(pin.flags, 3);
  vst::VstPinProperties untouched{};
  untouched.flags = 77;
  EXPECT_FALSE(plugin->getOutputProperties(2, &untouched));
  EXPECT_EQ(untouched.flags, 77);

  char yes[] = "receiveVstMidiEvent";
  char timeInfo[] = "receiveVstTimeInfo";
  char caseDiffers[] = "ReceiveVstEvents";
  char empty[] = "";
  EXPECT_EQ(plugin->canDo(yes), 1);
  EXPECT_EQ(plugin->canDo(timeInfo), 1);
  EXPECT_EQ(plugin->canDo(caseDiffers), -1);
  EXPECT_EQ(plugin->canDo(empty), -1);
  EXPECT_EQ(plugin->getVu(), 0.0f);
}

using SarnelParameters = EngineTest;

TEST_F(SarnelParameters, NamesLabelsDisplaysAndDefaults) {
  EXPECT_EQ(nameOf(*plugin, 0), "pitch");
  EXPECT_EQ(nameOf(*plugin, 5), "interpolation on/off");
  EXPECT_EQ(nameOf(*plugin, 29), "portamento time");
  EXPECT_EQ(nameOf(*plugin, 30), "don't touch!");
  EXPECT_EQ(nameOf(*plugin, 499), "don't touch!");
  char label[16] = {};
  plugin->getParameterLabel(412, label);
  EXPECT_STREQ(label, "%");
  EXPECT_EQ(displayOf(*plugin, 15), "0.57");  // 72 / 127
  EXPECT_EQ(displayOf(*plugin, 0), "0.75");
  EXPECT_EQ(displayOf(*plugin, 300), "0.00");
  EXPECT_EQ(displayOf(*plugin, -1), "0.00");

  for (int p = 0; p < kNumSoundParams; ++p) {
    EXPECT_EQ(plugin->getParameter(p), kParameterInfo[static_cast<std::size_t>(p)].defaultValue) << p;
  }
  EXPECT_EQ(plugin->getParameter(kLfo2Destination), 1.0f / 12.0f);
  EXPECT_EQ(plugin->getParameter(kTuningFirst + 69), static_cast<float>(440.0 / 30000.0));
  EXPECT_NEAR(plugin->getParameter(kTuningFirst + 0) * 30000.0, 8.1757989156, 1e-5);
  EXPECT_EQ(plugin->getParameter(kSpareFirst), 0.0f);
  EXPECT_EQ(plugin->getParameter(kCommandResetTuning), 0.0f);
}

TEST_F(SarnelParameters, ValuesAreClampedNaNGivesZero) {
  plugin->setParameter(kVolume, 1.5f);
  EXPECT_EQ(plugin->getParameter(kVolume), 1.0f);
  plugin->setParameter(kVolume, -0.5f);
  EXPECT_EQ(plugin->getParameter(kVolume), 0.0f);
  plugin->setParameter(kVolume, std::nanf(""));
  EXPECT_EQ(plugin->getParameter(kVolume), 0.0f);
  plugin->setParameter(kVolume, INFINITY);
  EXPECT_EQ(plugin->getParameter(kVolume), 1.0f);
  // The program keeps what the engine stores.
  EXPECT_EQ(plugin->program().params[kVolume].load(), 1.0f);
  // Spares and out-of-range indices store nothing.
  plugin->setParameter(kSpareFirst + 3, 0.7f);
  EXPECT_EQ(plugin->getParameter(kSpareFirst + 3), 0.0f);
  plugin->setParameter(-4, 0.7f);
  plugin->setParameter(100000, 0.7f);
  EXPECT_EQ(plugin->getParameter(-4), 0.0f);
}

TEST_F(SarnelParameters, DestinationsRoundTiesToEven) {
  EXPECT_EQ(lfoDestinationFor(1.0f), kVolume);
  EXPECT_EQ(lfoDestinationFor(0.04f), kPitch);  // round(0.48) = 0
  EXPECT_EQ(lfoDestinationFor(1.0f / 12.0f), kLoopLow);
  plugin->setParameter(kLfo1Destination, 1.0f);
  EXPECT_EQ(plugin->lfoTarget(1), kVolume);
  plugin->setParameter(kLfo1Destination, 0.04f);
  EXPECT_EQ(plugin->lfoTarget(1), kPitch);
  EXPECT_EQ(plugin->lfoTarget(2), kLoopLow);
}

TEST_F(SarnelParameters, PathBytesRoundTripAndAZeroByteEndsThePath) {
  const std::string path = "C:\\samples\\kick drum.wav";
  sarneltest::setPathParameters(*plugin, path);
  for (std::size_t i = 0; i < path.size(); ++i) {
    EXPECT_EQ(plugin->getParameter(kPathFirst + static_cast<int>(i)),
              static_cast<float>(static_cast<std::uint8_t>(path[i])) / 255.0f);
  }
  EXPECT_EQ(sarneltest::pathFromParameters(*plugin), path);
  EXPECT_EQ(plugin->program().path(), path);
  plugin->setParameter(kPathFirst + 5, 0.0f);
  EXPECT_EQ(plugin->program().path(), path.substr(0, 5));
  // A value between two bytes goes to the nearest one.
  plugin->setParameter(kPathFirst, 65.4f / 255.0f);
  EXPECT_EQ(plugin->getParameter(kPathFirst), 65.0f / 255.0f);
}

TEST_F(SarnelParameters, ResetTuningLeavesTheProgramsTuningWhichSetProgramBringsBack) {
  plugin->setParameter(kTuningFirst + 69, 0.02f);
  EXPECT_EQ(plugin->getParameter(kTuningFirst + 69), 0.02f);
  plugin->setParameter(kCommandResetTuning, 1.0f);
  EXPECT_EQ(plugin->getParameter(kTuningFirst + 69), static_cast<float>(440.0 / 30000.0));
  EXPECT_EQ(plugin->program().tuning[69].load(), 0.02f);
  // Program 1 does not exist: nothing happens.
  plugin->setProgram(1);
  EXPECT_EQ(plugin->getParameter(kTuningFirst + 69), static_cast<float>(440.0 / 30000.0));
  plugin->setProgram(0);
  EXPECT_EQ(plugin->getParameter(kTuningFirst + 69), 0.02f);
}

TEST_F(SarnelParameters, ProgramNamesAndIndexedNames) {
  char name[] = "A name longer than twenty-three characters for sure, and more than fifty-one";
  plugin->setProgramName(name);
  EXPECT_EQ(std::string(plugin->program().getName()), std::string(name).substr(0, 51));
  char text[64] = {};
  plugin->getProgramName(text);
  EXPECT_EQ(std::string(text), std::string(name).substr(0, 23));  // the host's buffer is 24 bytes
  char indexed[64] = {};
  EXPECT_TRUE(plugin->getProgramNameIndexed(0, 0, indexed));
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, 1, indexed));
  EXPECT_EQ(plugin->dispatcher(vst::effGetProgramNameIndexed, 1, 0, indexed, 0.0f), 0);
}

TEST_F(SarnelParameters, SampleRatesThatAreNotPositiveAndFiniteAreIgnored) {
  plugin->setSampleRate(0.0f);
  plugin->setSampleRate(-48000.0f);
  plugin->setSampleRate(std::nanf(""));
  plugin->setSampleRate(INFINITY);
  EXPECT_EQ(plugin->getSampleRate(), 44100.0f);
  EXPECT_EQ(plugin->delayFilter(0).getSampleRate(), 44100.0);
  plugin->setSampleRate(48000.0f);
  EXPECT_EQ(plugin->getSampleRate(), 48000.0f);
  // Suspended since construction: the rate-dependent blocks follow at once.
  EXPECT_EQ(plugin->delayFilter(0).getSampleRate(), 48000.0);
  EXPECT_EQ(plugin->delayFilter(1).getSampleRate(), 48000.0);
  EXPECT_EQ(plugin->lfo(1).getSampleRate(), 48000);
}

TEST_F(SarnelParameters, ARateChangeWhileResumedWaitsForTheNextResume) {
  plugin->resume();
  plugin->setSampleRate(96000.0f);
  EXPECT_EQ(plugin->delayFilter(0).getSampleRate(), 44100.0);
  plugin->suspend();
  plugin->resume();
  EXPECT_EQ(plugin->delayFilter(0).getSampleRate(), 96000.0);
  EXPECT_EQ(plugin->lfo(2).getSampleRate(), 96000);
}

using SarnelControllerSettings = EngineTest;

TEST_F(SarnelControllerSettings, AssignmentsAreReadAtConstructionAndWrittenByCommand) {
  plugin.reset();
  store->setText(kSettingsSubkey, "CC 13", "7");
  store->setText(kSettingsSubkey, "CC 5", "-11");
  store->setText(kSettingsSubkey, "CC 6", "not a number");
  plugin = makePlugin();
  EXPECT_EQ(plugin->controllerAssignment(kVolume), 7);
  EXPECT_EQ(plugin->controllerAssignment(kRelease), -11);
  EXPECT_EQ(plugin->controllerAssignment(kInterpolation), 0);
  EXPECT_EQ(plugin->getParameter(kCommandControllerFirst + kVolume), 7.0f / 200.0f);
  EXPECT_EQ(plugin->getParameter(kCommandControllerFirst + kRelease), -11.0f / 200.0f);

  plugin->setParameter(kCommandControllerFirst + kRelease, 0.2f);
  EXPECT_EQ(plugin->controllerAssignment(kRelease), 40);
  EXPECT_EQ(store->readText(kSettingsSubkey, "CC 5"), "40");
  plugin->setParameter(kCommandControllerFirst + kPitch, 128.0f / 200.0f);
  EXPECT_EQ(store->readText(kSettingsSubkey, "CC 1"), "128");
  // Only 0 ... 200 can be stored this way: the value is clamped first.
  plugin->setParameter(kCommandControllerFirst + kPitch, 3.0f);
  EXPECT_EQ(plugin->controllerAssignment(kPitch), 200);
}

}  // namespace
