// The window as it opens and follows the engine: layout, opening and
// closing, the file name label, the waveform with its loop markers and the
// refresh tick.

#include <algorithm>
#include <cmath>

#include "sampler/editor/artwork/Palette.h"
#include "tests/sampler_editor/EditorFixture.h"

namespace sarneleditortest {
namespace {

using gui::Rect;

TEST_F(EditorTest, EveryComponentLiesWhereTheLayoutPutsIt) {
  open();
  auto& w = window();
  struct Place {
    gui::Component* component;
    Rect bounds;
    gui::Cursor cursor;
  };
  const std::vector<Place> places{
      {w.Image1, Rect::sized(0, 0, 705, 497), gui::Cursor::inherit},
      {w.Image12, Rect::sized(0, 0, 681, 49), gui::Cursor::hand},
      {w.wdisplay, Rect::sized(22, 78, 424, 91), gui::Cursor::hand},
      {w.temp, Rect::sized(24, 496, 424, 91), gui::Cursor::inherit},
      {w.pitcher, Rect::sized(33, 233, 185, 23), gui::Cursor::cross},
      {w.loop, Rect::sized(272, 233, 185, 23), gui::Cursor::cross},
      {w.filter, Rect::sized(33, 311, 185, 23), gui::Cursor::cross},
      {w.reso, Rect::sized(272, 311, 185, 23), gui::Cursor::cross},
      {w.delay, Rect::sized(33, 390, 185, 23), gui::Cursor::cross},
      {w.feedback, Rect::sized(272, 390, 185, 23), gui::Cursor::cross},
      {w.volume, Rect::sized(628, 234, 23, 185), gui::Cursor::cross},
      {w.interpx, Rect::sized(515, 285, 11, 12), gui::Cursor::inherit},
      {w.portx, Rect::sized(515, 308, 11, 12), gui::Cursor::inherit},
      {w.Image11, Rect::sized(528, 307, 57, 15), gui::Cursor::inherit},
      {w.Image2, Rect::sized(534, 336, 49, 25), gui::Cursor::hand},
      {w.Image3, Rect::sized(534, 366, 49, 25), gui::Cursor::hand},
      {w.Image4, Rect::sized(534, 396, 49, 25), gui::Cursor::hand},
      {w.Image5, Rect::sized(534, 427, 49, 25), gui::Cursor::hand},
      {w.Image7, Rect::sized(457, 76, 52, 25), gui::Cursor::hand},
      {w.Image8, Rect::sized(457, 113, 52, 25), gui::Cursor::hand},
      {w.Image9, Rect::sized(457, 149, 52, 25), gui::Cursor::hand},
      {w.selector, Rect::sized(466, 83, 11, 12), gui::Cursor::inherit},
      {w.ENVControl1, Rect::sized(512, 57, 147, 129), gui::Cursor::inherit},
      {w.Panel2, Rect::sized(514, 52, 147, 137), gui::Cursor::inherit},
      {w.Panel3, Rect::sized(514, 52, 147, 137), gui::Cursor::inherit},
      {w.about, Rect::sized(15, 200, 465, 284), gui::Cursor::hand},
      {w.rate1, Rect::sized(15, 58, 114, 20), gui::Cursor::cross},
      {w.depth1, Rect::sized(15, 109, 114, 20), gui::Cursor::cross},
      {w.sync1x, Rect::sized(102, 12, 11, 12), gui::Cursor::inherit},
      {w.rate2, Rect::sized(15, 58, 114, 20), gui::Cursor::cross},
      {w.depth2, Rect::sized(15, 109, 114, 20), gui::Cursor::cross},
      {w.sync2x, Rect::sized(102, 12, 11, 12), gui::Cursor::inherit},
      {w.Image13, Rect::sized(192, 48, 97, 41), gui::Cursor::inherit},
  };
  for (const Place& p : places) {
    ASSERT_NE(p.component, nullptr);
    EXPECT_EQ(p.component->bounds(), p.bounds) << p.bounds.left << ", " << p.bounds.top;
    EXPECT_EQ(p.component->cursor(), p.cursor) << p.bounds.left << ", " << p.bounds.top;
  }
  EXPECT_EQ(w.fname->left(), 22);
  EXPECT_EQ(w.fname->top(), 163);
  EXPECT_EQ(w.reckey->bounds().left, 559);
  EXPECT_EQ(w.reckey->cursor(), gui::Cursor::sizeNS);
  EXPECT_EQ(w.lmode->bounds().left, 546);
  EXPECT_EQ(w.desc->bounds().top, 458);
  EXPECT_EQ(w.wave1->parent(), w.Panel2);
  EXPECT_EQ(w.dest2->parent(), w.Panel3);
  EXPECT_EQ(w.dest1->left(), 61);
  EXPECT_EQ(w.Label3->text(), "SARNEL 2.3");
  EXPECT_EQ(w.Label4->text(), "Vornhalt presents");
  EXPECT_EQ(w.Label1->text(), "(click to close)");
  EXPECT_EQ(w.Label2->layoutLines().size(), 5u);

  // The pages and the about panel start hidden; the envelope shows.
  EXPECT_FALSE(w.Panel2->visible());
  EXPECT_FALSE(w.Panel3->visible());
  EXPECT_FALSE(w.about->visible());
  EXPECT_FALSE(w.temp->visible());
  EXPECT_TRUE(w.ENVControl1->visible());
  EXPECT_EQ(w.desc->text(), "pitch");
  EXPECT_EQ(w.form().width(), 678);
  EXPECT_EQ(w.form().height(), 497);

  // The fifteen gauges: no text, no frame, the ranges of their lengths.
  for (controls::TVornGauge* g : {w.pitcher, w.loop, w.filter, w.reso, w.delay, w.feedback, w.volume}) {
    EXPECT_FALSE(g->ShowText());
    EXPECT_EQ(g->BorderStyle(), controls::bsNone);
    EXPECT_EQ(g->MaxValue(), 185);
    EXPECT_EQ(g->BackColor(), sarnel::artwork::kBackground);
  }
  for (controls::TVornGauge* g : {w.rate1, w.depth1, w.rate2, w.depth2}) EXPECT_EQ(g->MaxValue(), 200);
  EXPECT_EQ(w.pitcher->Color(), gui::rgb(74, 78, 94));
  EXPECT_EQ(w.pitcher->BorderColor(), gui::rgb(103, 108, 131));
  EXPECT_EQ(w.loop->ForeColor(), gui::rgb(99, 65, 7));
  EXPECT_EQ(w.ENVControl1->Edge(), 3);
  EXPECT_EQ(w.ENVControl1->NodeSize(), 3);
}

TEST_F(EditorTest, OpeningTwiceCreatesTheWindowOnceAndClosingClearsIt) {
  const int enginesTimers = timers.activeCount();
  open();
  EXPECT_EQ(timers.activeCount(), enginesTimers + 1);
  sarnel::EditorWindow* first = plugin->pluginEditor()->window();
  EXPECT_TRUE(window().isDisplayTimerEnabled());
  EXPECT_FALSE(plugin->isEditorClosed());
  EXPECT_TRUE(window().windowHost().isVisible());
  window().desc->setText("kept");
  open();
  EXPECT_EQ(plugin->pluginEditor()->window(), first);
  EXPECT_EQ(window().desc->text(), "kept");
  close();
  EXPECT_EQ(plugin->pluginEditor()->window(), first);
  EXPECT_FALSE(plugin->isEditorClosed());
  close();
  EXPECT_EQ(plugin->pluginEditor()->window(), nullptr);
  EXPECT_TRUE(plugin->isEditorClosed());
  EXPECT_EQ(timers.activeCount(), enginesTimers);
}

TEST_F(EditorTest, TheNoFileTextShowsOnlyUntilTheFirstIdle) {
  open();
  EXPECT_EQ(window().fname->text(), "(no file  loaded)");
  idle();
  EXPECT_EQ(window().fname->text(), "");
}

TEST_F(EditorTest, OpenSetsTheButtonsFromTheEngineAndTheirChangeEventsWriteBack) {
  plugin->setParameter(5, 0.5f);    // ties to even: off
  plugin->setParameter(16, 0.51f);  // on
  plugin->setParameter(22, 1.0f);
  plugin->setParameter(28, 0.0f);
  open();
  EXPECT_EQ(window().interpx->Value, 0);
  EXPECT_EQ(window().portx->Value, 1);
  EXPECT_EQ(window().sync1x->Value, 1);
  EXPECT_EQ(window().sync2x->Value, 0);
  // Each button's change event sent its state, as a clean 0 or 1.
  EXPECT_EQ(automationsOf(5), (std::vector<Automation>{{5, 0.0f}}));
  EXPECT_EQ(automationsOf(16), (std::vector<Automation>{{16, 1.0f}}));
  EXPECT_EQ(plugin->getParameter(16), 1.0f);
  EXPECT_EQ(plugin->getParameter(5), 0.0f);
}

TEST_F(EditorTest, TheRefreshTickBringsLabelsNodesButtonsAndGaugesIntoLine) {
  open();
  automated.clear();
  plugin->setParameter(15, 60.0f / 127.0f);
  plugin->setParameter(6, 0.4f);
  plugin->setParameter(21, 0.2f);
  plugin->setParameter(20, 1.0f);
  plugin->setParameter(1, 0.0f);
  plugin->setParameter(2, 0.5f);
  plugin->setParameter(3, 0.2f);
  plugin->setParameter(4, 1.0f);
  plugin->setParameter(13, 0.0f);
  plugin->setParameter(14, 1.0f);
  plugin->setParameter(12, 1.0f);
  plugin->setParameter(7, 0.25f);
  plugin->setParameter(8, 0.75f);
  plugin->setParameter(17, 0.5f);
  // The labels wait for the tick.
  EXPECT_EQ(window().reckey->text(), "C# 4");
  tick();
  auto& w = window();
  EXPECT_EQ(w.reckey->text(), "C  3");
  EXPECT_EQ(w.lmode->text(), " loop only");
  EXPECT_EQ(w.wave1->text(), "saw1");
  EXPECT_EQ(w.dest1->text(), "volum");
  const auto& nodes = w.ENVControl1->nodes;
  EXPECT_EQ(nodes[1].x, 0);
  EXPECT_EQ(nodes[2].x, 40 + 1);  // round(0.5 x 79) = 40 (39.5 ties to even)
  EXPECT_EQ(nodes[3].x, 175);
  EXPECT_EQ(nodes[3].y, 51);
  EXPECT_EQ(nodes[2].y, 51);
  EXPECT_EQ(nodes[0], (controls::TNode{0, 0}));
  EXPECT_EQ(nodes[4], (controls::TNode{255, 0}));
  EXPECT_EQ(w.loop->RangeMin(), 0);
  EXPECT_EQ(w.loop->RangeMax(), 185);
  EXPECT_EQ(w.volume->RangeMax(), 0);
  EXPECT_EQ(w.filter->RangeMin(), 46);  // 46.25
  EXPECT_EQ(w.filter->RangeMax(), 139);
  EXPECT_EQ(w.rate1->RangeMax(), 57);

  plugin->setParameter(15, 1.0f);
  plugin->setParameter(6, 0.5f);
  tick();
  EXPECT_EQ(w.reckey->text(), "G  8");
  EXPECT_EQ(w.lmode->text(), "start+loop");
  // Setting nodes from the tick is not the user's change: nothing went back.
  EXPECT_TRUE(automated.empty());
}

TEST_F(EditorTest, ATickWithNothingNewPaintsNothing) {
  open();
  tick();
  form().paintDirty();
  tick();
  EXPECT_FALSE(form().needsPaint());
  plugin->setParameter(9, 0.5f);
  tick();
  EXPECT_TRUE(form().needsPaint());
}

TEST_F(EditorTest, TheTickSendsValuesBackOnlyThroughTheButtons) {
  open();
  tick();
  automated.clear();
  for (int p = 0; p < 30; ++p) {
    if (p != 5 && p != 16 && p != 22 && p != 28) plugin->setParameter(p, 0.3f);
  }
  // portx flips: the tick sets it, and its change event writes the clean
  // state back.
  const bool wasOn = window().portx->Value == 1;
  plugin->setParameter(16, wasOn ? 0.3f : 0.7f);
  tick();
  const float now = wasOn ? 0.0f : 1.0f;
  EXPECT_EQ(automated, (std::vector<Automation>{{16, now}}));
  EXPECT_EQ(plugin->getParameter(16), now);
  EXPECT_EQ(window().mirror()[16], now);
  automated.clear();
  tick();
  EXPECT_TRUE(automated.empty());
}

TEST_F(EditorTest, LoopMarkersStandAtColumnsZeroAnd423AndMoveCleanly) {
  plugin->setParameter(13, 0.0f);
  plugin->setParameter(14, 1.0f);
  open();
  auto& w = window();
  EXPECT_EQ(w.loopStartColumn(), 0);
  EXPECT_EQ(w.loopEndColumn(), 423);
  const gui::Canvas& display = w.wdisplay->picture();
  for (int y : {0, 45, 90}) {
    EXPECT_EQ(display.pixel(0, y), sarnel::artwork::kMarker);
    EXPECT_EQ(display.pixel(423, y), sarnel::artwork::kMarker);
    EXPECT_EQ(display.pixel(1, y), sarnel::artwork::kBackground);
  }
  plugin->setParameter(13, 0.5f);
  idle();  // the engine marked the markers dirty
  EXPECT_EQ(w.loopStartColumn(), 212);  // round(211.5) = 212
  EXPECT_EQ(display.pixel(0, 10), sarnel::artwork::kBackground);
  EXPECT_EQ(display.pixel(212, 10), sarnel::artwork::kMarker);
  EXPECT_EQ(display.pixel(423, 10), sarnel::artwork::kMarker);
}

TEST_F(EditorTest, AStereoWaveformStepsThroughWholeFramesShowingTheLeftValue) {
  // 850 frames: step 2. Left is +0.5 on even frames and -0.5 on odd ones;
  // right is always -1. The columns read frames 0, 2, 4 ...: all +0.5.
  std::vector<float> samples;
  for (int i = 0; i < 850; ++i) {
    samples.push_back(i % 2 == 0 ? 0.5f : -0.5f);
    samples.push_back(-1.0f);
  }
  plugin->setParameter(13, 0.0f);
  plugin->setParameter(14, 0.0f);
  open();
  loadWave(samples, 2);
  idle();
  auto& w = window();
  const gui::Canvas& clean = w.waveformCopy();
  // Row 45 - round(0.5 x 40) = 25 for every column after the first.
  for (int x = 2; x < 424; ++x) {
    EXPECT_EQ(clean.pixel(x, 25), sarnel::artwork::kInk) << x;
    EXPECT_EQ(clean.pixel(x, 65), sarnel::artwork::kBackground) << x;
    EXPECT_EQ(clean.pixel(x, 85), sarnel::artwork::kBackground) << x;
  }
  // The display holds the same waveform except under the markers.
  EXPECT_EQ(w.wdisplay->picture().pixel(100, 25), sarnel::artwork::kInk);
  EXPECT_EQ(w.fname->text(), plugin->getSamplePath());
  EXPECT_FALSE(w.fname->text().empty());
}

TEST_F(EditorTest, ASampleShorterThan425FramesDrawsItsFirstFrameFlat) {
  open();
  std::vector<float> samples(300, -0.25f);
  samples[0] = 1.0f;  // every column reads frame 0
  loadWave(samples, 1);
  const gui::Canvas& clean = window().waveformCopy();
  for (int x = 1; x < 424; ++x) {
    EXPECT_EQ(clean.pixel(x, 5), sarnel::artwork::kInk) << x;
    EXPECT_EQ(clean.pixel(x, 55), sarnel::artwork::kBackground) << x;
  }
}

TEST_F(EditorTest, UnloadingClearsTheWaveformAndResetsTheMarkerColumns) {
  open();
  loadWave(std::vector<float>(2000, 0.75f), 1);
  EXPECT_EQ(window().loopStartColumn(), 0);
  EXPECT_EQ(window().loopEndColumn(), 1);  // command 643 draws with end column 1
  plugin->setParameter(sarnel::kCommandUnload, 1.0f);
  const gui::Canvas& clean = window().waveformCopy();
  for (int y = 0; y < 91; ++y) EXPECT_EQ(clean.pixel(200, y), sarnel::artwork::kBackground);
  EXPECT_EQ(window().loopStartColumn(), 0);
  EXPECT_EQ(window().loopEndColumn(), 1);
  idle();
  EXPECT_EQ(window().fname->text(), "");
}

TEST_F(EditorTest, ReopeningWithASampleDrawsItsWaveform) {
  loadWave(std::vector<float>(5000, -0.5f), 1);
  open();
  EXPECT_EQ(window().waveformCopy().pixel(300, 65), sarnel::artwork::kInk);
}

}  // namespace
}  // namespace sarneleditortest
