// The arithmetic of the skinned controls: frame-region rectangles, thumb
// positions, clamping, drag targets and the progress fill.
#include "skin_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

bool InRects(const RECT* rects, int x, int y) {
  for (int i = 0; i < kFrameRectCount; ++i)
    if (x >= rects[i].left && x < rects[i].right && y >= rects[i].top && y < rects[i].bottom)
      return true;
  return false;
}

TEST(FrameRegionRects, TableForMainWindowSize) {
  const int w = 430, h = 574;
  RECT r[kFrameRectCount];
  FrameRegionRects(w, h, r);
  const RECT expected[kFrameRectCount] = {
      {0, 5, 1, h - 5}, {1, 3, 2, h - 3}, {2, 2, 3, h - 2}, {3, 1, 4, h - 1}, {4, 1, 5, h - 1}, {5, 1, w - 5, h}, {w - 5, 1, w - 4, h - 1}, {w - 4, 2, w - 3, h - 2}, {w - 3, 2, w - 2, h - 2}, {w - 2, 3, w - 1, h - 3}, {w - 1, 5, w, h - 5}};
  for (int i = 0; i < kFrameRectCount; ++i) {
    EXPECT_TRUE(EqualRect(&expected[i], &r[i]))
        << "rectangle " << i + 1 << ": expected (" << expected[i].left << "," << expected[i].top << ","
        << expected[i].right << "," << expected[i].bottom << "), got (" << r[i].left << "," << r[i].top
        << "," << r[i].right << "," << r[i].bottom << ")";
  }
}

struct PixelCase {
  int x, y;
  bool inside;
};

TEST(FrameRegionRects, CornerPixelsAndAsymmetry) {
  const int w = 430, h = 574;
  RECT r[kFrameRectCount];
  FrameRegionRects(w, h, r);
  const PixelCase cases[] = {
      {0, 1, false}, {1, 1, false}, {2, 1, false}, {0, 2, false}, {1, 2, false}, {0, 3, false}, {0, 4, false}, {3, 1, true}, {1, 3, true}, {0, 5, true},
      // Column 3 starts at row 1, its mirror column W-4 only at row 2.
      {w - 4, 1, false},
      {w - 4, 2, true},
      {3, h - 2, true},
      {w - 4, h - 2, false},
      {w - 4, h - 3, true},
      // Bottom row: only columns 5 .. W-6.
      {4, h - 1, false},
      {5, h - 1, true},
      {w - 6, h - 1, true},
      {w - 5, h - 1, false}};
  for (const PixelCase& c : cases)
    EXPECT_EQ(c.inside, InRects(r, c.x, c.y)) << "pixel (" << c.x << "," << c.y << ")";
  for (int x = 0; x < w; ++x) EXPECT_FALSE(InRects(r, x, 0)) << "top row pixel (" << x << ",0)";
}

TEST(FrameRegionFits, MinimisedSizeDoesNotFit) {
  EXPECT_FALSE(FrameRegionFits(0, 0));
  EXPECT_FALSE(FrameRegionFits(9, 100));
  EXPECT_FALSE(FrameRegionFits(100, 9));
  EXPECT_TRUE(FrameRegionFits(10, 10));
  EXPECT_TRUE(FrameRegionFits(430, 574));
}

struct ThumbCase {
  int position, limit, length, expected;
};

TEST(ScrollThumb, VerticalFromPosition) {
  // H = 106: scale (106 - 80) / limit; thumb trunc(pos * scale) + 20, clamped
  // to H - 38 when its end passes H - 40.
  const ThumbCase cases[] = {
      {0, 10, 106, 20}, {5, 10, 106, 33}, {10, 10, 106, 68},  // 46 + 26 > 66 -> 68
      {8, 10, 106, 40},
      {9, 10, 106, 68},
      {1, 3, 106, 28},
      {0, 0, 106, 20},  // nothing to scroll
      {0, 0, 60, 20},
      {3, 3, 200, 162},  // 140 + 26 > 160 -> 162 = H - 38
  };
  for (const ThumbCase& c : cases) {
    int got = ClampVThumb(VThumbForPosition(c.position, c.limit, c.length), c.length);
    EXPECT_EQ(c.expected, got) << "position " << c.position << " of " << c.limit << ", H " << c.length;
  }
}

TEST(ScrollThumb, HorizontalFromPosition) {
  // W = 355: scale (355 - 60) / limit; clamp W - 38 when beyond W - 42.
  const ThumbCase cases[] = {
      {0, 100, 355, 20}, {50, 100, 355, 167}, {100, 100, 355, 317},  // 315 > 313 -> 317
      {98, 100, 355, 309},
      {0, 0, 355, 20},
      {99, 100, 355, 312},  // 312: stays
  };
  for (const ThumbCase& c : cases) {
    int got = ClampHThumb(HThumbForPosition(c.position, c.limit, c.length), c.length);
    EXPECT_EQ(c.expected, got) << "position " << c.position << " of " << c.limit << ", W " << c.length;
  }
}

TEST(ScrollThumb, LastPositionSitsAt38FromTheEnd) {
  for (int length : {60, 106, 200, 355, 1000}) {
    for (int limit : {1, 2, 7, 100, 5000}) {
      EXPECT_EQ(std::max(20, length - 38), ClampVThumb(VThumbForPosition(limit, limit, length), length))
          << "vertical, H " << length << ", limit " << limit;
      EXPECT_EQ(std::max(20, length - 38), ClampHThumb(HThumbForPosition(limit, limit, length), length))
          << "horizontal, W " << length << ", limit " << limit;
    }
  }
}

TEST(ScrollThumb, ScalesAreInfiniteWithNothingToScroll) {
  EXPECT_FALSE(std::isfinite(VScrollScale(106, 0)));
  EXPECT_FALSE(std::isfinite(HScrollScale(355, 0)));
  EXPECT_DOUBLE_EQ(2.6, VScrollScale(106, 10));
  EXPECT_DOUBLE_EQ(2.95, HScrollScale(355, 100));
}

struct DragCase {
  int thumb, limit, length, current, expected;
};

TEST(ScrollDrag, TargetsUseTheirOwnConstants) {
  const DragCase vertical[] = {
      {20, 10, 106, 3, 0}, {47, 10, 106, 0, 10}, {34, 10, 106, 0, 5}, {10, 10, 106, 4, -3},  // above the track: trunc(-10 / 2.6) = -3
      {50, 0, 106, 2, 0},  // (30) / inf = 0
      {50, 10, 80, 2, 2},  // zero scale: no scroll
  };
  for (const DragCase& c : vertical)
    EXPECT_EQ(c.expected, VDragTarget(c.thumb, c.limit, c.length, c.current))
        << "vertical thumb " << c.thumb << ", limit " << c.limit << ", H " << c.length;
  const DragCase horizontal[] = {
      {25, 100, 355, 7, 0}, {166, 100, 355, 0, 50}, {306, 100, 355, 0, 100}, {50, 10, 75, 3, 3},  // zero scale: no scroll
      {50, 0, 75, 3, 3},  // 0 / 0: no scroll
  };
  for (const DragCase& c : horizontal)
    EXPECT_EQ(c.expected, HDragTarget(c.thumb, c.limit, c.length, c.current))
        << "horizontal thumb " << c.thumb << ", limit " << c.limit << ", W " << c.length;
}

struct ZoneCase {
  RECT zone;
  int x, y;
  bool inside;
  const char* what;
};

TEST(ScrollZones, VerticalZonesDoNotMatchTheImages) {
  const int h = 106;
  const ZoneCase cases[] = {
      {VUpPressZone(), 5, 10, false, "above the up press zone"},
      {VUpPressZone(), 5, 11, true, "up press zone top"},
      {VUpPressZone(), 5, 16, true, "up press zone bottom"},
      {VUpPressZone(), 5, 17, false, "below the up press zone"},
      {VUpReleaseZone(), 5, 25, true, "up release zone bottom"},
      {VUpReleaseZone(), 5, 26, false, "below the up release zone"},
      {VDownZone(h), 5, h - 37, true, "down zone top"},
      {VDownZone(h), 5, h - 12, true, "down zone bottom"},
      {VDownZone(h), 5, h - 11, false, "below the down zone"},
      {VDownZone(h), 16, 80, true, "down zone is 17 wide"},
      {VThumbZone(40), 0, 65, true, "thumb zone end"},
      {VThumbZone(40), 0, 66, false, "past the thumb zone"},
      {HLeftZone(), 25, 19, true, "left zone corner"},
      {HLeftZone(), 26, 5, false, "past the left zone"},
      {HRightZone(355), 329, 0, true, "right zone start"},
      {HRightZone(355), 328, 0, false, "before the right zone"},
      {HThumbZone(100), 125, 3, true, "horizontal thumb end"},
  };
  for (const ZoneCase& c : cases) EXPECT_EQ(c.inside, InZone(c.zone, c.x, c.y)) << c.what;
}

struct FillCase {
  int lower, upper, position, width, expected;
};

TEST(ProgressFill, TruncatesTowardZero) {
  const FillCase cases[] = {
      {1, 100, 1, 300, 0},
      {1, 100, 100, 300, 300},
      {1, 100, 51, 300, 151},  // 151.5
      {1, 100, 50, 300, 148},  // 148.48
      {5, 5, 5, 300, 0},
      {0, 100, 150, 300, 300},
      {0, 100, -5, 300, 0},
      {0, 100, 50, 0, 0},
  };
  for (const FillCase& c : cases)
    EXPECT_EQ(c.expected, ProgressFillRight(c.lower, c.upper, c.position, c.width))
        << "range " << c.lower << ".." << c.upper << ", position " << c.position << ", width " << c.width;
}

}  // namespace
