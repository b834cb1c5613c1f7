#pragma once
// The zoom steps behind the main window's three zoom buttons: steps of 10
// percent between 10 and 500, and the label text that goes with a level.
#include <optional>
#include <string>

namespace px {

inline constexpr int kZoomStep = 10;
inline constexpr int kZoomLowest = 10;
inline constexpr int kZoomHighest = 500;
inline constexpr int kZoomActual = 100;

// Zoom In: the next level, or nothing when the level is above 490 (then the
// label is not touched either).
std::optional<int> ZoomInStep(int level);
// Zoom Out: one step down while above 10; at 10 it stays (the label is still rewritten).
int ZoomOutStep(int level);
// "120%".
std::wstring ZoomLabelText(int level);

}  // namespace px
