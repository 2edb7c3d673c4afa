#include "skin_geometry.h"

#include <climits>
#include <cmath>

namespace {

// Far below any track: clamping turns it into the lowest thumb position.
constexpr int kBelowTrack = INT_MIN / 2;

// Truncates toward zero; values that don't fit an int (or NaN) give fallback.
int TruncateOr(double value, int fallback) {
  if (!std::isfinite(value) || value <= double(INT_MIN / 2) || value >= double(INT_MAX / 2))
    return fallback;
  return static_cast<int>(std::trunc(value));
}

RECT Rect(int left, int top, int right, int bottom) {
  RECT r;
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
  return r;
}

}  // namespace

void FrameRegionRects(int w, int h, RECT out[kFrameRectCount]) {
  out[0] = Rect(0, 5, 1, h - 5);
  out[1] = Rect(1, 3, 2, h - 3);
  out[2] = Rect(2, 2, 3, h - 2);
  out[3] = Rect(3, 1, 4, h - 1);
  out[4] = Rect(4, 1, 5, h - 1);
  out[5] = Rect(5, 1, w - 5, h);
  out[6] = Rect(w - 5, 1, w - 4, h - 1);
  out[7] = Rect(w - 4, 2, w - 3, h - 2);
  out[8] = Rect(w - 3, 2, w - 2, h - 2);
  out[9] = Rect(w - 2, 3, w - 1, h - 3);
  out[10] = Rect(w - 1, 5, w, h - 5);
}

bool FrameRegionFits(int width, int height) { return width >= 10 && height >= 10; }

double VScrollScale(int height, int limit) { return double(height - 80) / double(limit); }

double HScrollScale(int width, int limit) { return double(width - 60) / double(limit); }

int VThumbForPosition(int position, int limit, int height) {
  if (limit == 0) return kBelowTrack;
  int offset = TruncateOr(position * VScrollScale(height, limit), kBelowTrack);
  return offset == kBelowTrack ? kBelowTrack : offset + kThumbLowest;
}

int HThumbForPosition(int position, int limit, int width) {
  if (limit == 0) return kBelowTrack;
  int offset = TruncateOr(position * HScrollScale(width, limit), kBelowTrack);
  return offset == kBelowTrack ? kBelowTrack : offset + kThumbLowest;
}

int ClampVThumb(int thumbPos, int height) {
  if (static_cast<long long>(thumbPos) + kThumbLength > height - 40) thumbPos = height - 38;
  if (thumbPos < kThumbLowest) thumbPos = kThumbLowest;
  return thumbPos;
}

int ClampHThumb(int thumbPos, int width) {
  if (thumbPos > width - 42) thumbPos = width - 38;
  if (thumbPos < kThumbLowest) thumbPos = kThumbLowest;
  return thumbPos;
}

int VDragTarget(int thumbPos, int limit, int height, int currentPosition) {
  double scale = double(height - 80) / double(limit);
  return TruncateOr((thumbPos - 20) / scale, currentPosition);
}

int HDragTarget(int thumbPos, int limit, int width, int currentPosition) {
  double scale = double(width - 75) / double(limit);
  return TruncateOr((thumbPos - 25) / scale, currentPosition);
}

RECT VUpPressZone() { return Rect(0, 11, 17, 17); }
RECT VUpReleaseZone() { return Rect(0, 11, 17, 26); }
RECT VDownZone(int height) { return Rect(0, height - 37, 17, height - 11); }
RECT VThumbZone(int thumbPos) { return Rect(0, thumbPos, 17, thumbPos + kThumbLength); }
RECT HLeftZone() { return Rect(0, 0, 26, 20); }
RECT HRightZone(int width) { return Rect(width - 26, 0, width, 20); }
RECT HThumbZone(int thumbPos) { return Rect(thumbPos, 0, thumbPos + kThumbLength, 20); }

bool InZone(const RECT& zone, int x, int y) {
  return x >= zone.left && x < zone.right && y >= zone.top && y < zone.bottom;
}

int ProgressFillRight(int lower, int upper, int position, int width) {
  if (upper == lower || width <= 0) return 0;
  double right = double(position - lower) * double(width) / double(upper - lower);
  int r = TruncateOr(right, 0);
  if (r < 0) return 0;
  if (r > width) return width;
  return r;
}
