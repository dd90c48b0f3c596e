// The status window's arithmetic.
#include "window/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltra {
namespace {

// Only the low 8 bits of the setting count; the start-up floor keeps a
// window that a bad value would make invisible at 30 %.
TEST(StatusWindowAlpha, PercentToAlphaWithAndWithoutTheStartupFloor) {
  struct Case {
    std::int32_t transparent;
    int at_startup;
    int after_change;
  };
  const Case cases[] = {
      {85, 216, 216}, {100, 255, 255}, {101, 255, 255}, {255, 255, 255}, {20, 76, 51},
      {30, 76, 76},   {31, 79, 79},    {0, 76, 0},      {-1, 76, 255},   {256 + 85, 216, 216}, {256, 76, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StatusWindowAlpha(c.transparent, true), c.at_startup) << c.transparent;
    EXPECT_EQ(StatusWindowAlpha(c.transparent, false), c.after_change) << c.transparent;
  }
}

TEST(Orientation, HigherThanWideIsPortraitSquareIsLandscape) {
  EXPECT_FALSE(IsPortrait(Rect{0, 0, 1280, 800}));
  EXPECT_TRUE(IsPortrait(Rect{0, 0, 800, 1280}));
  EXPECT_FALSE(IsPortrait(Rect{0, 0, 1000, 1000}));
  EXPECT_TRUE(IsPortrait(Rect{-800, 40, 0, 1320}));
}

// A 1280 x 800 monitor with a 40-pixel taskbar at the bottom, and a second
// one to its right.
const MonitorArea kLeft{{0, 0, 1280, 800}, {0, 0, 1280, 760}};
const MonitorArea kRight{{1280, 0, 2560, 800}, {1280, 0, 2560, 800}};

TEST(NearestMonitor, TheOneHoldingThePointOrOverlappedMostElseTheClosest) {
  const std::vector<MonitorArea> two{kLeft, kRight};
  EXPECT_EQ(NearestMonitor(two, Point{10, 10}), 0u);
  EXPECT_EQ(NearestMonitor(two, Point{1280, 10}), 1u);
  EXPECT_EQ(NearestMonitor(two, Point{3000, -50}), 1u);
  EXPECT_EQ(NearestMonitor(two, Point{-5, 900}), 0u);
  EXPECT_EQ(NearestMonitor(two, Rect{1200, 0, 1400, 50}), 1u);  // 120 px on the right one
  EXPECT_EQ(NearestMonitor(two, Rect{1100, 0, 1300, 50}), 0u);
  EXPECT_EQ(NearestMonitor(two, Rect{2600, 900, 2700, 950}), 1u);
}

// The window is 255 x 44, grabbed 10 px from its left and top edges, so its
// corner follows the cursor at (x - 10, y - 10). Snap width 50.
TEST(SnapWhileDragged, EdgesStickWithinTheSnapWidthAndTheWindowStaysOnItsMonitor) {
  const std::vector<MonitorArea> one{kLeft};
  const std::vector<MonitorArea> two{kLeft, kRight};
  const Point grab{10, 10};
  auto snap = [&](const std::vector<MonitorArea>& monitors, int corner_x, int corner_y) {
    return SnapWhileDragged(Rect{0, 0, 255, 44}, Point{corner_x + 10, corner_y + 10}, grab, 50, monitors);
  };
  struct Case {
    const char* what;
    const std::vector<MonitorArea>* monitors;
    Point corner;
    Rect expected;
  };
  const Case cases[] = {
      {"49 from the left edge sticks", &one, {49, 300}, {0, 300, 255, 344}},
      {"50 stays", &one, {50, 300}, {50, 300, 305, 344}},
      {"-49 sticks back", &one, {-49, 300}, {0, 300, 255, 344}},
      {"near the right edge", &one, {1000, 300}, {1025, 300, 1280, 344}},
      {"near the taskbar: the work area's bottom", &one, {500, 700}, {500, 716, 755, 760}},
      {"half off the right edge with the taskbar's row: the monitor's edge", &one, {1150, 770}, {1025, 756, 1280, 800}},
      {"above the top", &one, {500, -200}, {500, 0, 755, 44}},
      {"the right monitor's left edge: cursor there decides", &two, {1300, 300}, {1280, 300, 1535, 344}},
      {"mostly on the right monitor: shifted whole onto it", &two, {1200, 300}, {1280, 300, 1535, 344}},
      {"mostly on the left monitor: shifted whole onto it", &two, {1100, 300}, {1025, 300, 1280, 344}},
      {"off the far right of two", &two, {2500, 300}, {2305, 300, 2560, 344}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(snap(*c.monitors, c.corner.x, c.corner.y), c.expected) << c.what;
  }
  EXPECT_EQ(SnapWhileDragged(Rect{5, 6, 7, 8}, Point{}, grab, 50, {}), (Rect{5, 6, 7, 8}));
}

TEST(CenteredPosition, HalvesTruncateWithinTheWorkAreaWhereverItStarts) {
  EXPECT_EQ(CenteredPosition(Rect{0, 0, 1280, 760}, Rect{0, 0, 255, 44}), (Point{512, 358}));
  // A taskbar at the left or top, or a work area on a monitor left of the
  // primary one.
  EXPECT_EQ(CenteredPosition(Rect{100, 50, 1380, 810}, Rect{900, 900, 1155, 944}), (Point{612, 408}));
  EXPECT_EQ(CenteredPosition(Rect{-1280, 0, 0, 760}, Rect{0, 0, 255, 44}), (Point{-768, 358}));
  EXPECT_EQ(CenteredPosition(Rect{0, 0, 200, 100}, Rect{0, 0, 301, 151}), (Point{-50, -25}));
}

TEST(ScaleForDpi, RoundsAsMulDivAndClampsWhereItWouldFail) {
  EXPECT_EQ(ScaleForDpi(255, 144, 96), 383);  // 382.5 rounds up
  EXPECT_EQ(ScaleForDpi(-15, 144, 96), -23);  // -22.5 rounds away from zero
  EXPECT_EQ(ScaleForDpi(44, 96, 192), 22);
  // There and back at a whole ratio gives the stored length again.
  EXPECT_EQ(ScaleForDpi(ScaleForDpi(-37, 192, 96), 96, 192), -37);
  EXPECT_EQ(ScaleForDpi(0x7fffffff, 192, 96), 0x7fffffff);
  EXPECT_EQ(ScaleForDpi(-0x7fffffff - 1, 192, 96), -0x7fffffff - 1);
  EXPECT_EQ(ScaleForDpi(300, 144, 0), 300);
}

}  // namespace
}  // namespace veltra
