// Status window arithmetic.
#include "window/placement.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace veltra {
namespace {

// Distances in 64 bits: a rectangle read from a hand-edited settings file
// may lie anywhere in the 32-bit range.
std::int64_t Gap(std::int64_t low_a, std::int64_t high_a, std::int64_t low_b, std::int64_t high_b) {
  return std::max<std::int64_t>({0, low_a - high_b, low_b - high_a});
}

std::int64_t SquaredDistance(const Rect& a, const Rect& b) {
  const std::int64_t dx = Gap(a.left, a.right, b.left, b.right);
  const std::int64_t dy = Gap(a.top, a.bottom, b.top, b.bottom);
  return dx * dx + dy * dy;
}

std::int64_t Overlap(const Rect& a, const Rect& b) {
  const std::int64_t w = std::min<std::int64_t>(a.right, b.right) - std::max<std::int64_t>(a.left, b.left);
  const std::int64_t h = std::min<std::int64_t>(a.bottom, b.bottom) - std::max<std::int64_t>(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

std::int32_t Clamp32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// One axis of the snap: the window's start given the cursor, stuck to the
// low or the high edge of the area when within `snap` of it.
std::int32_t SnapAxis(std::int64_t start, std::int64_t size, std::int64_t low, std::int64_t high, std::int64_t snap) {
  if (low - snap < start && start < low + snap) return Clamp32(low);
  if (high - snap < start + size && start + size < high + snap) return Clamp32(high - size);
  return Clamp32(start);
}

}  // namespace

bool IsPortrait(const Rect& work_area) { return work_area.height() > work_area.width(); }

std::size_t NearestMonitor(std::span<const MonitorArea> monitors, Point point) {
  return NearestMonitor(monitors, Rect{point.x, point.y, point.x + 1, point.y + 1});
}

std::size_t NearestMonitor(std::span<const MonitorArea> monitors, const Rect& rect) {
  std::size_t best = 0;
  std::int64_t best_overlap = -1;
  std::int64_t best_distance = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const std::int64_t overlap = Overlap(rect, monitors[i].monitor);
    const std::int64_t distance = SquaredDistance(rect, monitors[i].monitor);
    if (overlap > best_overlap || (overlap == 0 && best_overlap == 0 && distance < best_distance)) {
      best = i;
      best_overlap = overlap;
      best_distance = distance;
    }
  }
  return best;
}

Rect SnapWhileDragged(const Rect& proposed, Point cursor, Point drag_offset, std::int32_t snap_width,
                      std::span<const MonitorArea> monitors) {
  if (monitors.empty()) return proposed;
  const std::int64_t width = proposed.width();
  const std::int64_t height = proposed.height();
  const Rect& area = monitors[NearestMonitor(monitors, cursor)].work;
  Rect r;
  r.left = SnapAxis(std::int64_t{cursor.x} - drag_offset.x, width, area.left, area.right, snap_width);
  r.top = SnapAxis(std::int64_t{cursor.y} - drag_offset.y, height, area.top, area.bottom, snap_width);
  r.right = Clamp32(r.left + width);
  r.bottom = Clamp32(r.top + height);

  const Rect& m = monitors[NearestMonitor(monitors, r)].monitor;
  auto shift_x = [&](std::int64_t left) {
    r.left = Clamp32(left);
    r.right = Clamp32(left + width);
  };
  auto shift_y = [&](std::int64_t top) {
    r.top = Clamp32(top);
    r.bottom = Clamp32(top + height);
  };
  if (r.right > m.right) shift_x(std::int64_t{m.right} - width);
  if (r.left < m.left) shift_x(m.left);
  if (r.bottom > m.bottom) shift_y(std::int64_t{m.bottom} - height);
  if (r.top < m.top) shift_y(m.top);
  return r;
}

Point CenteredPosition(const Rect& work_area, const Rect& window) {
  return Point{Clamp32(work_area.left + (std::int64_t{work_area.width()} - window.width()) / 2),
               Clamp32(work_area.top + (std::int64_t{work_area.height()} - window.height()) / 2)};
}

std::int32_t ScaleForDpi(std::int32_t length, std::uint32_t dpi, std::uint32_t stored_dpi) {
  if (dpi == 0 || stored_dpi == 0 || dpi == stored_dpi) return length;
  const std::int64_t magnitude = (std::abs(std::int64_t{length}) * dpi + stored_dpi / 2) / stored_dpi;
  return Clamp32(length < 0 ? -magnitude : magnitude);
}

std::uint8_t AlphaForPercent(std::uint8_t percent) {
  return static_cast<std::uint8_t>(std::min<unsigned>(percent, 100u) * 255u / 100u);
}

std::uint8_t StatusWindowAlpha(std::int32_t transparent, bool startup_floor) {
  const auto percent = static_cast<std::uint8_t>(transparent & 0xFF);
  // The floor looks at what is shown too: 256 shows as 0 %.
  if (startup_floor && (transparent <= 30 || percent <= 30)) return 76;
  return AlphaForPercent(percent);
}

}  // namespace veltra
