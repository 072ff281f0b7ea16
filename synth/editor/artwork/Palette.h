#pragma once
// The one palette of Marrowglint's pictures: a dark blue-grey panel with
// steel engraving, pale ink for captions and amber for whatever is lit.

#include "gui/Color.h"

namespace marrowglint::artwork {

constexpr gui::Color kTransparent = gui::rgb(0, 255, 255);  // aqua: left out when drawn
constexpr gui::Color kPanel = gui::rgb(30, 38, 48);
constexpr gui::Color kPanelPlate = gui::rgb(40, 51, 64);
constexpr gui::Color kPanelHighlight = gui::rgb(72, 90, 110);
constexpr gui::Color kPanelShadow = gui::rgb(12, 16, 21);
constexpr gui::Color kRecess = gui::rgb(17, 22, 29);
constexpr gui::Color kTrack = gui::rgb(8, 11, 15);
constexpr gui::Color kEngraving = gui::rgb(38, 90, 122);
constexpr gui::Color kInk = gui::rgb(206, 220, 232);
constexpr gui::Color kCaption = gui::rgb(168, 186, 204);
constexpr gui::Color kInkDim = gui::rgb(128, 148, 168);
constexpr gui::Color kAmber = gui::rgb(255, 170, 60);
constexpr gui::Color kAmberDim = gui::rgb(96, 62, 26);
constexpr gui::Color kCyan = gui::rgb(96, 204, 240);
constexpr gui::Color kCyanDim = gui::rgb(30, 70, 90);
constexpr gui::Color kKnob = gui::rgb(220, 228, 236);
constexpr gui::Color kKnobShade = gui::rgb(132, 144, 158);
constexpr gui::Color kScreen = gui::rgb(14, 19, 26);

}  // namespace marrowglint::artwork
