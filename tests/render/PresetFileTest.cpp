// Program and bank files: the byte layout, round trips through loaded
// plug-ins, and the refusals (other plug-in, other counts, damage).

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "host/PresetFile.h"
#include "tests/render/GateProbe.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Prerequisites.h"

namespace {

std::uint32_t be32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

std::unique_ptr<host::Plugin> startPlugin(const std::string& path) {
  auto plugin = host::Plugin::load(path);
  if (plugin) plugin->start();
  return plugin;
}


host::PresetFileError decodeFailure(const std::vector<std::uint8_t>& bytes) {
  try {
    host::decodePresetFile(bytes.data(), bytes.size());
  } catch (const host::PresetFileError& error) {
    return error;
  }
  ADD_FAILURE() << "the file was accepted";
  return host::PresetFileError(host::PresetFileError::Kind::unreadable, "");
}

TEST(PresetFileFormat, ProgramFileLayoutIsBigEndianWithA28ByteName) {
  host::PresetFile preset;
  preset.uniqueId = vst::fourCharCode('Z', 'Q', 'M', 'W');
  preset.pluginVersion = 7;
  preset.programs.push_back({"A name longer than twenty-seven bytes", {0.5f, 1.0f, 0.0f}});
  const std::vector<std::uint8_t> bytes = host::encodePresetFile(preset);
  ASSERT_EQ(bytes.size(), 56u + 12u);
  EXPECT_EQ(std::memcmp(bytes.data(), "CcnK", 4), 0);
  EXPECT_EQ(be32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "FxCk", 4), 0);
  EXPECT_EQ(be32(bytes, 12), 1u);
  EXPECT_EQ(std::memcmp(bytes.data() + 16, "ZQMW", 4), 0);
  EXPECT_EQ(be32(bytes, 20), 7u);
  EXPECT_EQ(be32(bytes, 24), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 28)), "A name longer than twenty-s");
  EXPECT_EQ(be32(bytes, 56), std::bit_cast<std::uint32_t>(0.5f));
  EXPECT_EQ(be32(bytes, 60), 0x3F800000u);
  const host::PresetFile back = host::decodePresetFile(bytes.data(), bytes.size());
  EXPECT_FALSE(back.isBank);
  EXPECT_EQ(back.uniqueId, preset.uniqueId);
  EXPECT_EQ(back.pluginVersion, 7);
  EXPECT_EQ(back.programs.at(0).name, "A name longer than twenty-s");
  EXPECT_EQ(back.programs.at(0).values, preset.programs[0].values);
}

TEST(PresetFileFormat, BankVersionTwoKeepsTheCurrentProgram) {
  host::PresetFile bank;
  bank.isBank = true;
  bank.formatVersion = 2;
  bank.uniqueId = gate_probe::kUniqueId;
  bank.currentProgram = 2;
  for (int p = 0; p < 3; ++p) bank.programs.push_back({"P" + std::to_string(p), {0.1f * p, 0.2f, 0.3f}});
  const std::vector<std::uint8_t> bytes = host::encodePresetFile(bank);
  ASSERT_EQ(bytes.size(), 156u + 3u * 68u);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "FxBk", 4), 0);
  EXPECT_EQ(be32(bytes, 12), 2u);
  EXPECT_EQ(be32(bytes, 24), 3u);
  EXPECT_EQ(be32(bytes, 28), 2u);  // current program, first reserved word
  EXPECT_EQ(std::memcmp(bytes.data() + 156, "CcnK", 4), 0);
  const host::PresetFile back = host::decodePresetFile(bytes.data(), bytes.size());
  EXPECT_TRUE(back.isBank);
  EXPECT_EQ(back.currentProgram, 2);
  ASSERT_EQ(back.programs.size(), 3u);
  EXPECT_EQ(back.programs[2].name, "P2");
  EXPECT_EQ(back.programs[2].values, bank.programs[2].values);
}

TEST(PresetFileFormat, DamagedFilesAreRefusedWithTheirOffset) {
  host::PresetFile preset;
  preset.uniqueId = 1;
  preset.programs.push_back({"x", {0.5f, 0.5f}});
  const std::vector<std::uint8_t> good = host::encodePresetFile(preset);
  std::vector<std::uint8_t> bytes = good;
  bytes[0] = 'X';
  EXPECT_NE(std::string(decodeFailure(bytes).what()).find("CcnK"), std::string::npos);
  // The size field promises more than the file holds.
  bytes = good;
  bytes[7] = static_cast<std::uint8_t>(bytes[7] + 4);
  EXPECT_NE(std::string(decodeFailure(bytes).what()).find("claims"), std::string::npos);
  // The parameter count promises more values than the record holds.
  bytes = good;
  bytes[27] = 3;
  EXPECT_NE(std::string(decodeFailure(bytes).what()).find("too small"), std::string::npos);
  // Cut off inside the name.
  bytes.assign(good.begin(), good.begin() + 40);
  EXPECT_EQ(decodeFailure(bytes).kind(), host::PresetFileError::Kind::malformed);
  // Opaque chunks are not parameter values.
  bytes = good;
  std::memcpy(bytes.data() + 8, "FPCh", 4);
  EXPECT_NE(std::string(decodeFailure(bytes).what()).find("opaque chunk"), std::string::npos);
}

class PresetFilesThroughPlugins : public ::testing::Test {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(render_test::gateProbePath()), "GateProbe");
    plugin = startPlugin(render_test::gateProbePath());
    ASSERT_TRUE(plugin);
  }
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(PresetFilesThroughPlugins, ABankOfSeveralProgramsRoundTrips) {
  for (int p = 0; p < gate_probe::kNumPrograms; ++p) {
    plugin->dispatch(vst::effSetProgram, 0, p);
    plugin->setParameter(gate_probe::kGain, 0.1f + 0.2f * static_cast<float>(p));
    char name[32];
    std::snprintf(name, sizeof name, "Custom %d", p);
    plugin->dispatch(vst::effSetProgramName, 0, 0, name);
  }
  plugin->dispatch(vst::effSetProgram, 0, 2);
  const std::string dir = render_test::workDir("preset_bank");
  const std::string path = render_test::inDir(dir, "bank.fxb");
  host::writePresetFile(path, host::captureBank(*plugin));
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 2);  // capturing left the plug-in where it was

  auto fresh = startPlugin(render_test::gateProbePath());
  ASSERT_TRUE(fresh);
  host::applyPresetFile(*fresh, host::readPresetFile(path));
  EXPECT_EQ(fresh->dispatch(vst::effGetProgram), 2);
  for (int p = 0; p < gate_probe::kNumPrograms; ++p) {
    fresh->dispatch(vst::effSetProgram, 0, p);
    EXPECT_EQ(fresh->programName(), "Custom " + std::to_string(p));
    EXPECT_EQ(fresh->getParameter(gate_probe::kGain), 0.1f + 0.2f * static_cast<float>(p));
    EXPECT_EQ(fresh->getParameter(gate_probe::kColour), 0.25f * static_cast<float>(p));
  }
}

TEST_F(PresetFilesThroughPlugins, AProgramFileGoesIntoTheCurrentProgramOnly) {
  plugin->setParameter(gate_probe::kGain, 0.375f);
  plugin->dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Loud"));
  const host::PresetFile program = host::captureProgramFile(*plugin);
  auto fresh = startPlugin(render_test::gateProbePath());
  fresh->dispatch(vst::effSetProgram, 0, 3);
  host::applyPresetFile(*fresh, program);
  EXPECT_EQ(fresh->programName(), "Loud");
  EXPECT_EQ(fresh->getParameter(gate_probe::kGain), 0.375f);
  fresh->dispatch(vst::effSetProgram, 0, 0);
  EXPECT_EQ(fresh->programName(), "Gate 1");
  EXPECT_EQ(fresh->getParameter(gate_probe::kGain), 1.0f);
}

TEST_F(PresetFilesThroughPlugins, AFileOfAnotherPlugInOrShapeChangesNothing) {
  host::PresetFile foreign = host::captureProgramFile(*plugin);
  foreign.uniqueId = vst::fourCharCode('A', 'B', 'C', 'D');
  foreign.programs[0].values[gate_probe::kGain] = 0.0f;
  try {
    host::applyPresetFile(*plugin, foreign);
    FAIL() << "a foreign preset was applied";
  } catch (const host::PresetFileError& error) {
    EXPECT_EQ(error.kind(), host::PresetFileError::Kind::wrongPlugin);
    EXPECT_NE(std::string(error.what()).find("'ABCD'"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("'GtPr'"), std::string::npos);
  }
  host::PresetFile shorter = host::captureProgramFile(*plugin);
  shorter.programs[0].values.resize(3, 0.0f);
  EXPECT_THROW(host::applyPresetFile(*plugin, shorter), host::PresetFileError);
  host::PresetFile bigBank = host::captureBank(*plugin);
  bigBank.programs.push_back(bigBank.programs[0]);
  EXPECT_THROW(host::applyPresetFile(*plugin, bigBank), host::PresetFileError);
  EXPECT_EQ(plugin->getParameter(gate_probe::kGain), 1.0f);
}

TEST(PresetFilesThroughTheFrameworkProbe, ItsBankRoundTripsAndOthersAreRefused) {
  VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(render_test::frameworkProbePath()), "FrameworkProbe");
  auto probe = startPlugin(render_test::frameworkProbePath());
  ASSERT_TRUE(probe);
  probe->setParameter(0, 0.625f);
  const host::PresetFile bank = host::captureBank(*probe);
  EXPECT_EQ(bank.programs.size(), 3u);
  auto fresh = startPlugin(render_test::frameworkProbePath());
  host::applyPresetFile(*fresh, bank);
  EXPECT_EQ(fresh->getParameter(0), 0.625f);
  VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(render_test::gateProbePath()), "GateProbe");
  auto gate = startPlugin(render_test::gateProbePath());
  EXPECT_THROW(host::applyPresetFile(*gate, bank), host::PresetFileError);
}

// Marrowglint: 16 programs of 30 parameters with their own names.
TEST(PresetFilesThroughMarrowglint, SixteenProgramsSurviveABank) {
  const std::string path = render_test::pluginPath("Marrowglint");
  VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(path), "Marrowglint");
  auto synth = startPlugin(path);
  ASSERT_TRUE(synth);
  ASSERT_EQ(synth->numPrograms(), 16);
  for (int p = 0; p < 16; ++p) {
    synth->dispatch(vst::effSetProgram, 0, p);
    synth->setParameter(11, static_cast<float>(p) / 16.0f);  // "Cut"
    synth->setParameter(6, 1.0f - static_cast<float>(p) / 32.0f);  // "Mix"
    const std::string name = "Sound " + std::to_string(p);
    synth->dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
  }
  synth->dispatch(vst::effSetProgram, 0, 5);
  const host::PresetFile bank = host::captureBank(*synth);
  const std::vector<std::uint8_t> bytes = host::encodePresetFile(bank);
  auto fresh = startPlugin(path);
  host::applyPresetFile(*fresh, host::decodePresetFile(bytes.data(), bytes.size()));
  EXPECT_EQ(fresh->dispatch(vst::effGetProgram), 5);
  for (int p = 0; p < 16; ++p) {
    fresh->dispatch(vst::effSetProgram, 0, p);
    EXPECT_EQ(fresh->programName(), "Sound " + std::to_string(p));
    EXPECT_EQ(fresh->getParameter(11), static_cast<float>(p) / 16.0f);
    EXPECT_EQ(fresh->getParameter(6), 1.0f - static_cast<float>(p) / 32.0f);
  }
  // A program file of the GateProbe is not Marrowglint's.
  host::PresetFile other = host::captureProgramFile(*fresh);
  other.uniqueId = gate_probe::kUniqueId;
  EXPECT_THROW(host::applyPresetFile(*fresh, other), host::PresetFileError);
}

}  // namespace
