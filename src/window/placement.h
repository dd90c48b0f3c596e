// The status window's arithmetic that needs no platform: orientation,
// snapping to the work area while dragged, keeping it on its monitor,
// centring, sizes at a monitor's DPI, opacity. Portable: the Win32 side
// hands in the rectangles the platform reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace veltra {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are exclusive, as in the platform's RECT.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// One monitor: its full rectangle and its work area (without the taskbar).
struct MonitorArea {
  Rect monitor;
  Rect work;
};

// Portrait while the work area is higher than wide; a square one is
// landscape.
bool IsPortrait(const Rect& work_area);

// The monitor the platform would call nearest: the one holding the point,
// else the closest one. Index into `monitors`, which must not be empty.
std::size_t NearestMonitor(std::span<const MonitorArea> monitors, Point point);
// For a rectangle: the monitor it overlaps most, else the closest one.
std::size_t NearestMonitor(std::span<const MonitorArea> monitors, const Rect& rect);

// Where a dragged window of the size of `proposed` goes: its corner follows
// the cursor less the drag offset, and an edge within `snap_width` (strict)
// of an edge of the work area of the monitor nearest the cursor sticks to
// it. The result is then shifted, keeping its size, into the monitor
// nearest to it (the full monitor, not the work area): right edge, left
// edge, bottom, top, in that order. No monitors: `proposed` unchanged.
Rect SnapWhileDragged(const Rect& proposed, Point cursor, Point drag_offset, std::int32_t snap_width,
                      std::span<const MonitorArea> monitors);

// The corner that centres `window` in `work_area`, halves truncated toward
// zero: a taskbar at the left or top moves the centre with the work area.
Point CenteredPosition(const Rect& work_area, const Rect& window);

// A length stored in the pixels of `stored_dpi` (the primary monitor's:
// the settings' sizes and font heights) as drawn on a monitor at `dpi`:
// rounded half away from zero as the platform's MulDiv, but clamped to the
// 32-bit range where MulDiv would answer -1 for a hand-edited huge value.
// A zero DPI on either side leaves the length as it is.
std::int32_t ScaleForDpi(std::int32_t length, std::uint32_t dpi, std::uint32_t stored_dpi);

// Alpha (0-255) of an opacity percentage: min(percent, 100) x 255 / 100.
std::uint8_t AlphaForPercent(std::uint8_t percent);

// The status window's alpha for `color`/`transparent`, of which only the
// low 8 bits count. At start-up a value of 30 or less gives 76 (30 %), so a
// bad value cannot make the window vanish; after a change in the
// configuration dialog the value is taken as it is.
std::uint8_t StatusWindowAlpha(std::int32_t transparent, bool startup_floor);

}  // namespace veltra
