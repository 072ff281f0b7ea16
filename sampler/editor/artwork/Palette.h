#pragma once
// The colours of Sarnel's panel. Every picture of the editor is drawn from
// these, so a change of look is a change here.

#include "gui/Color.h"

namespace sarnel::artwork {

// The panel, the waveform display and the gauges' back colour.
constexpr gui::Color kBackground = gui::rgb(254, 214, 34);
// Lines, gauge bars, captions and the bold labels.
constexpr gui::Color kInk = gui::rgb(99, 65, 7);
// The recessed fields behind the controls: the background a shade darker.
constexpr gui::Color kField = gui::rgb(238, 192, 22);
// The raised faces of buttons and tabs: the background a shade lighter.
constexpr gui::Color kFace = gui::rgb(255, 230, 120);
// The loop markers on the waveform and the lit two-state button.
constexpr gui::Color kMarker = gui::rgb(255, 255, 0);
// The file name and the about texts.
constexpr gui::Color kDarkText = gui::rgb(64, 0, 0);
// The pitch gauge's bar and outline, set apart from the other gauges.
constexpr gui::Color kPitchBar = gui::rgb(74, 78, 94);
constexpr gui::Color kPitchOutline = gui::rgb(103, 108, 131);
// The envelope editor's grid, line and nodes.
constexpr gui::Color kEnvelopeGrid = gui::rgb(127, 127, 127);
constexpr gui::Color kEnvelopeLine = gui::rgb(0, 0, 0);
constexpr gui::Color kEnvelopeNode = gui::rgb(128, 64, 0);

}  // namespace sarnel::artwork
