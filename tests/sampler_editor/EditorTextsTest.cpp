// The editor's text tables and read-outs, and the rules that read a typed
// root key.

#include <gtest/gtest.h>

#include "sampler/editor/DisplayTexts.h"
#include "sampler/editor/NoteNames.h"

namespace {

TEST(NoteNames, AreFourCharactersWithTheOctaveBelowZeroSigned) {
  EXPECT_EQ(sarnel::noteName(0), "C -2");
  EXPECT_EQ(sarnel::noteName(1), "C#-2");
  EXPECT_EQ(sarnel::noteName(23), "B -1");
  EXPECT_EQ(sarnel::noteName(24), "C  0");
  EXPECT_EQ(sarnel::noteName(60), "C  3");
  EXPECT_EQ(sarnel::noteName(73), "C# 4");
  EXPECT_EQ(sarnel::noteName(127), "G  8");
  for (int n = 0; n < sarnel::kNoteCount; ++n) {
    EXPECT_EQ(sarnel::noteName(n).size(), 4u) << n;
    EXPECT_EQ(sarnel::noteFromName(sarnel::noteName(n)), n) << n;
  }
  EXPECT_EQ(sarnel::noteFromName("C4"), 0);
}

TEST(NoteNames, TypedAnswersFollowEveryParsingRule) {
  struct Case {
    const char* typed;
    int note;
  };
  for (const Case& c : {Case{"c#4", 73}, Case{"C#4", 73}, Case{"60", 60}, Case{"200", 127}, Case{"H4", 0},
                        Case{"x5", 0}, Case{"12a", 48}, Case{"c4", 72}, Case{"C-2", 0}, Case{"c-1", 12},
                        Case{"G8", 127}, Case{"0", 0}, Case{"127", 127}, Case{"C  3", 60}, Case{"", 0},
                        Case{"c#-2", 1}, Case{"99999999999", 48}}) {
    EXPECT_EQ(sarnel::noteFromTypedAnswer(c.typed), c.note) << "'" << c.typed << "'";
  }
}

TEST(DisplayTexts, LabelTablesRoundHalvesToEven) {
  EXPECT_EQ(sarnel::loopModeLabel(0.0f), "  no loop");
  EXPECT_EQ(sarnel::loopModeLabel(0.4f), " loop only");
  EXPECT_EQ(sarnel::loopModeLabel(0.5f), "start+loop");
  EXPECT_EQ(sarnel::loopModeLabel(1.0f), "ping pong");
  EXPECT_EQ(sarnel::lfoWaveLabel(0.0f), "sine");
  EXPECT_EQ(sarnel::lfoWaveLabel(0.3f), "saw2");  // round(1.5) = 2
  EXPECT_EQ(sarnel::lfoWaveLabel(0.5f), "saw2");  // round(2.5) = 2
  EXPECT_EQ(sarnel::lfoWaveLabel(1.0f), "noise");
  EXPECT_EQ(sarnel::lfoDestinationLabel(0.0f), "pitch");
  EXPECT_EQ(sarnel::lfoDestinationLabel(5.0f / 12.0f), "reso");
  EXPECT_EQ(sarnel::lfoDestinationLabel(1.0f), "volum");
}

TEST(DisplayTexts, LfoSpeedReadsOffHertzOrTempoRate) {
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.0f, 0.0f), "lfo1 speed: off");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.0f, 1.0f), "lfo1 speed: off");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo2 speed: ", -0.1f, 1.0f), "lfo2 speed: off");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.5f, 0.0f), "lfo1 speed: 2.000 Hz");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.5f, 0.5f), "lfo1 speed: 2.000 Hz");
  // Three significant digits, then three decimals.
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.12345f, 0.0f), "lfo1 speed: 0.494 Hz");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 1.0f, 0.0f), "lfo1 speed: 4.000 Hz");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo1 speed: ", 0.3f, 1.0f), "lfo1 speed: 1/4x");
  EXPECT_EQ(sarnel::lfoSpeedReadout("lfo2 speed: ", 1.0f, 1.0f), "lfo2 speed: 96x");
}

TEST(DisplayTexts, PitchAndPercentReadouts) {
  EXPECT_EQ(sarnel::pitchReadout(0.4375f), "pitch: -25%");
  EXPECT_EQ(sarnel::pitchReadout(0.5f), "pitch: 0%");
  EXPECT_EQ(sarnel::pitchReadout(1.0f), "pitch: 200%");
  EXPECT_EQ(sarnel::pitchReadout(0.0f), "pitch: -200%");
  EXPECT_EQ(sarnel::percentOf(37, 100, 185), 20);
  EXPECT_EQ(sarnel::percentOf(100, 1000, 185), 541);  // 540.54...
  EXPECT_EQ(sarnel::percentOf(57, 100, 114), 50);
  EXPECT_EQ(sarnel::roundEven(2.5), 2);
  EXPECT_EQ(sarnel::roundEven(3.5), 4);
  EXPECT_EQ(sarnel::roundEven(-0.5), 0);
}

}  // namespace
