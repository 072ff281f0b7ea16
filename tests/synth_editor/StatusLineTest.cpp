// The status line: every hover text, word for word, from the mirrors (or,
// for the selectors, from the field under the pointer).

#include "tests/synth_editor/EditorTestSupport.h"

namespace {

using editortest::EditorTest;
using namespace marrowglint;

TEST_F(EditorTest, SlidersAndSwitchesShowTheirMirrors) {
  const std::vector<std::pair<int, float>> values = {
      {kOutVol, 0.5f}, {kLFOAmnt, 0.25f}, {kLFORate, 0.125f}, {kCut, 0.335f}, {kReso, 1.0f}, {kFin1, 0.75f},
      {kTun1, 0.25f}, {kFin2, 0.0f}, {kTun2, 1.0f}, {kAAt, 0.1f}, {kADe, 0.2f}, {kASu, 0.3f}, {kARe, 0.4f},
      {kFat, 1.0f}, {kPhase, 0.0f}, {kGlide, 1.0f}};
  for (const auto& [index, value] : values) plugin->setParameter(index, value);
  openEditor();
  EXPECT_EQ(hover(*window->outvol), "out.volume: 50%");
  EXPECT_EQ(hover(*window->lfoamount), "lfo.depth: 25%");
  EXPECT_EQ(hover(*window->lforate), "lfo.speed: 12%");  // 12.5 rounds to even
  EXPECT_EQ(hover(*window->vcfcutoff), "flt.cutoff: 34%");
  EXPECT_EQ(hover(*window->vcfresonance), "flt.reso: 100%");
  EXPECT_EQ(hover(*window->osc1fine), "osc1.fine: 50%");
  EXPECT_EQ(hover(*window->osc1tune), "osc1.tune: -12");
  EXPECT_EQ(hover(*window->osc2fine), "osc2.fine: -100%");
  EXPECT_EQ(hover(*window->osc2tune), "osc2.tune: 24");
  EXPECT_EQ(hover(*window->vcaattack), "amp.attack: 10%");
  EXPECT_EQ(hover(*window->vcadecay), "amp.decay: 20%");
  EXPECT_EQ(hover(*window->vcasustain), "amp.sustain: 30%");
  EXPECT_EQ(hover(*window->vcarelease), "amp.release: 40%");
  EXPECT_EQ(hover(*window->fatmama), "fat.mode: on");
  EXPECT_EQ(hover(*window->phase), "phase.invert: off");
  EXPECT_EQ(hover(*window->glide), "glide.mode: on");
  plugin->setParameter(kFat, 0.0f);
  plugin->setParameter(kGlide, 0.0f);
  EXPECT_EQ(hover(*window->fatmama), "fat.mode: off");
  EXPECT_EQ(hover(*window->glide), "glide.mode: off");
  plugin->setParameter(kPhase, 1.0f);
  EXPECT_EQ(hover(*window->phase), "phase.invert: on");
}

TEST_F(EditorTest, SelectorsDescribeTheFieldUnderThePointer) {
  openEditor();
  const std::vector<std::tuple<int, const char*, const char*, const char*>> fields = {
      {10, "osc1.wave: sine", "osc2.wave: sine", "flt.type: LP"},
      {11, "osc1.wave: saw", "osc2.wave: saw", "flt.type: HP"},
      {21, "osc1.wave: saw", "osc2.wave: saw", "flt.type: HP"},
      {22, "osc1.wave: square", "osc2.wave: square", "flt.type: S1"},
      {32, "osc1.wave: square", "osc2.wave: square", "flt.type: S1"},
      {33, "osc1.wave: triangle", "osc2.wave: noise", "flt.type: S2"},
  };
  for (const auto& [x, osc1, osc2, filter] : fields) {
    EXPECT_EQ(hover(*window->osc1wave, x, 5), osc1);
    EXPECT_EQ(hover(*window->osc2wave, x, 5), osc2);
    EXPECT_EQ(hover(*window->vcftype, x, 5), filter);
  }
  const std::vector<std::pair<int, const char*>> destinations = {
      {11, "lfo.dest: osc.mix"},    {12, "lfo.dest: osc1.fine"}, {23, "lfo.dest: osc1.fine"},
      {35, "lfo.dest: flt.cutoff"}, {47, "lfo.dest: flt.reso"},  {59, "lfo.dest: effect.1"},
      {71, "lfo.dest: effect.2"},   {83, "lfo.dest: effect.3"},  {84, "lfo.dest: effect.4"}};
  for (const auto& [x, text] : destinations) EXPECT_EQ(hover(*window->lfodest, x, 5), text) << x;
  // The text describes the field, not the choice in force.
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
}

TEST_F(EditorTest, PadsMixBarAndAreasShowTheirTexts) {
  plugin->setParameter(kPWM, 0.5f);
  plugin->setParameter(kFM, 0.25f);
  plugin->setParameter(kTube, 1.0f);
  plugin->setParameter(kRMod, 0.0f);
  plugin->setParameter(kMix, 0.3f);
  openEditor();
  EXPECT_EQ(hover(*window->pads[0], 5, 5), "effect.1: 50%");
  EXPECT_EQ(hover(*window->pads[1], 5, 5), "effect.2: 25%");
  EXPECT_EQ(hover(*window->pads[2], 5, 5), "effect.3: 100%");
  EXPECT_EQ(hover(*window->pads[3], 5, 5), "effect.4: 0%");
  EXPECT_EQ(hover(*window->oscmix, 100, 5), "osc.mix: 70:30");
  EXPECT_EQ(hover(*window->Shape5, 5, 5), "silly color box :-)");
  EXPECT_EQ(hover(*window->Image1, 5, 5), "repo: vornhalt");
  EXPECT_EQ(hover(*window->Image2, 5, 5), "licence: MIT");
  EXPECT_EQ(hover(*window->Image3, 31, 5), "info.screen");
  EXPECT_EQ(hover(*window->Image3, 32, 5), "help.screen");
  EXPECT_EQ(hover(*window->Image4, 5, 5), "randomize preset");
  EXPECT_EQ(hover(*window->bg, 5, 150), "");
  // Hovering changes nothing in the engine.
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.3f);
}

}  // namespace
