// Pure geometry of the skinned controls: the main window's frame region, the
// scroll bars' thumb arithmetic and hit zones, and the progress bar's fill.
// Kept free of windows and device contexts so that each rule can be checked
// on its own.
#pragma once
#include <windows.h>

// ---- Main-window frame region -------------------------------------------

constexpr int kFrameRectCount = 11;

// The 11 rectangles (right and bottom exclusive) that make up the rounded
// outline of a client area of width x height. The outline is deliberately
// not mirror-symmetric (column width-4 starts one row lower than column 3).
void FrameRegionRects(int width, int height, RECT out[kFrameRectCount]);

// True when every rectangle of FrameRegionRects is non-inverted, i.e. the
// window is large enough to carry the outline (10 x 10 or more). A minimised
// window reports 0 x 0 and keeps the region it already has.
bool FrameRegionFits(int width, int height);

// ---- Scroll bars ----------------------------------------------------------

// Width of the vertical bar and height of the horizontal bar.
constexpr int kScrollBarThickness = 14;
// Thumb length along the bar.
constexpr int kThumbLength = 26;
// Initial thumb positions of a freshly built bar.
constexpr int kVThumbInitial = 14;
constexpr int kHThumbInitial = 25;
// Lowest thumb position either bar allows.
constexpr int kThumbLowest = 20;

// Timer ids and periods of the arrow auto-repeat: the first line request
// repeats only after kRepeatDelayMs, then every kRepeatPeriodMs.
constexpr UINT_PTR kRepeatDelayTimer = 2;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatDelayMs = 250;
constexpr UINT kRepeatPeriodMs = 50;

// Pixels of track per unit of scroll position: (H - 80) / limit (vertical),
// (W - 60) / limit (horizontal). Infinite or NaN when limit is 0.
double VScrollScale(int height, int limit);
double HScrollScale(int width, int limit);

// Thumb position for a list position, before clamping. With nothing to
// scroll (limit 0, non-finite scale) the result lies below the track so that
// clamping puts the thumb at its lowest position.
int VThumbForPosition(int position, int limit, int height);
int HThumbForPosition(int position, int limit, int width);

// Keep a thumb position inside the track.
//   vertical:   thumb + 26 > H - 40  ->  H - 38; then below 20 -> 20
//   horizontal: thumb > W - 42       ->  W - 38; then below 20 -> 20
int ClampVThumb(int thumbPos, int height);
int ClampHThumb(int thumbPos, int width);

// Target list position while the thumb is dragged to thumbPos:
//   vertical:   trunc((thumb - 20) / ((H - 80) / limit))
//   horizontal: trunc((thumb - 25) / ((W - 75) / limit))
// Returns currentPosition (no scroll) when the quotient is not a finite
// number (zero scale, or 0 / 0).
int VDragTarget(int thumbPos, int limit, int height, int currentPosition);
int HDragTarget(int thumbPos, int limit, int width, int currentPosition);

// Hit zones (right and bottom exclusive).
RECT VUpPressZone();
RECT VUpReleaseZone();
RECT VDownZone(int height);
RECT VThumbZone(int thumbPos);
RECT HLeftZone();
RECT HRightZone(int width);
RECT HThumbZone(int thumbPos);

bool InZone(const RECT& zone, int x, int y);

// ---- Progress bar ---------------------------------------------------------

// Right edge of the bar's filled part for a client width:
// (position - lower) * width / (upper - lower), in floating point, truncated
// toward zero, kept within 0..width. An empty range (lower == upper) fills
// nothing.
int ProgressFillRight(int lower, int upper, int position, int width);
