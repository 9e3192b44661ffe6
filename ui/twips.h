#pragma once
// The design's unit of length: sizes are given in twips, 15 to a pixel.

namespace ui {

inline constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int twips(int pixels) { return pixels * kTwipsPerPixel; }

} // namespace ui
