#pragma once
// Where the components of Sarnel's editor lie, in the window's client area
// (children of a page relative to the page). The window places its
// components and the artwork paints its fields and captions from the same
// rectangles.

#include "gui/Geometry.h"

namespace sarnel::layout {

using gui::Rect;

constexpr int kWindowWidth = 678;
constexpr int kWindowHeight = 497;

constexpr Rect kImage1 = {0, 0, 705, 497};
constexpr int kBackgroundWidth = 677;
constexpr int kBackgroundHeight = 497;
constexpr Rect kImage12 = {0, 0, 681, 49};
constexpr Rect kWdisplay = {22, 78, 22 + 424, 78 + 91};
constexpr Rect kTemp = {24, 496, 24 + 424, 496 + 91};
constexpr gui::Point kFname = {22, 163};
constexpr Rect kPitcher = {33, 233, 33 + 185, 233 + 23};
constexpr Rect kLoop = {272, 233, 272 + 185, 233 + 23};
constexpr Rect kFilter = {33, 311, 33 + 185, 311 + 23};
constexpr Rect kReso = {272, 311, 272 + 185, 311 + 23};
constexpr Rect kDelay = {33, 390, 33 + 185, 390 + 23};
constexpr Rect kFeedback = {272, 390, 272 + 185, 390 + 23};
constexpr Rect kVolume = {628, 234, 628 + 23, 234 + 185};
constexpr gui::Point kReckey = {559, 222};
constexpr gui::Point kLmode = {546, 253};
constexpr Rect kInterpx = {515, 285, 515 + 11, 285 + 12};
constexpr Rect kPortx = {515, 308, 515 + 11, 308 + 12};
constexpr Rect kImage11 = {528, 307, 528 + 57, 307 + 15};
constexpr Rect kImage2 = {534, 336, 534 + 49, 336 + 25};
constexpr Rect kImage3 = {534, 366, 534 + 49, 366 + 25};
constexpr Rect kImage4 = {534, 396, 534 + 49, 396 + 25};
constexpr Rect kImage5 = {534, 427, 534 + 49, 427 + 25};
constexpr gui::Point kDesc = {36, 458};
constexpr Rect kImage7 = {457, 76, 457 + 52, 76 + 25};
constexpr Rect kImage8 = {457, 113, 457 + 52, 113 + 25};
constexpr Rect kImage9 = {457, 149, 457 + 52, 149 + 25};
constexpr Rect kSelector = {466, 83, 466 + 11, 83 + 12};
constexpr int kSelectorTopEnvelope = 83;
constexpr int kSelectorTopLfo1 = 119;
constexpr int kSelectorTopLfo2 = 156;
constexpr Rect kENVControl1 = {512, 57, 512 + 147, 57 + 129};
constexpr Rect kLfoPage = {514, 52, 514 + 147, 52 + 137};
constexpr Rect kAbout = {15, 200, 15 + 465, 200 + 284};
constexpr Rect kMplay = {560, 464, 560 + 57, 464 + 30};

// Children of an LFO page.
constexpr int kLfoPictureWidth = 148;
constexpr int kLfoPictureHeight = 137;
constexpr gui::Point kWave = {10, 10};
constexpr gui::Point kDest = {61, 10};
constexpr Rect kSync = {102, 12, 102 + 11, 12 + 12};
constexpr Rect kRate = {15, 58, 15 + 114, 58 + 20};
constexpr Rect kDepth = {15, 109, 15 + 114, 109 + 20};

// Children of the about panel.
constexpr Rect kImage13 = {192, 48, 192 + 97, 48 + 41};
constexpr gui::Point kLabel4 = {190, 3};
constexpr gui::Point kLabel3 = {184, 17};
constexpr Rect kLabel2 = {6, 107, 6 + 440, 107 + 70};
constexpr gui::Point kLabel1 = {206, 267};
constexpr Rect kNoticeLabel = {22, 187, 22 + 416, 187 + 70};
constexpr Rect kSizeArea = {8, 246, 8 + 180, 246 + 34};

// The two-state buttons' frames.
constexpr int kLedWidth = 11;
constexpr int kLedHeight = 12;

}  // namespace sarnel::layout
