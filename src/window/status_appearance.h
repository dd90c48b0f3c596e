// How the status window looks and where it stands: its colours, fonts,
// opacity and state text (with what screen readers hear), its place and
// size for the orientation, dragging with snapping, "Move to Center", and
// all of it at the DPI of the monitor it is drawn on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "core/settings.h"
#include "platform/unique_handle.h"
#include "window/layered_window.h"
#include "window/placement.h"
#include "window/status_announcer.h"
#include "window/status_part.h"

namespace veltra {

class StatusAppearance final : public StatusPart {
 public:
  StatusAppearance(StatusHost& host, HINSTANCE instance);

  // Placed as the settings say for the orientation of the primary screen.
  void ApplyLayout(bool activate);
  // The window's top-left corner on the screen; nothing without a window.
  std::optional<Point> WindowCorner() const;

  void Start() override;
  // Screen readers hear the window as a live region from now on.
  void Shown() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void StateShown(ShowReason reason) override;
  void SettingsChanged() override;
  void Exit() override;

 private:
  void CreateLookObjects();
  UniqueHfont CreateFontAtDpi(const FontRecord& font) const;
  void ShowStateFont();
  void SetOpacity(bool startup_floor);
  LRESULT PaintBackground(HDC dc);
  void PaintMinimised();
  LRESULT ColourStatic(HDC dc);
  void OnWindowPosChanging(WINDOWPOS& change) const;
  void StartDrag(LPARAM client_point);
  void RecordDragOffset(LPARAM screen_point);
  void SnapOnMoving(RECT& proposed);
  void MoveToCenter();
  void StorePosition(Point corner);
  // Windows moved the window to a monitor of another DPI, or changed the
  // monitor's: `suggested` is the rectangle it offers for the new DPI.
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // A stored size or font height (meant at the system DPI) at the DPI of
  // the monitor the window is drawn on.
  std::int32_t AtWindowDpi(std::int32_t stored) const { return ScaleForDpi(stored, window_dpi_, system_dpi_); }
  bool enabled() const;
  HWND hwnd() const { return host_.window(); }

  UniqueHicon program_icon_;
  UniqueHbrush enable_brush_, disable_brush_;
  UniqueHfont enable_font_, disable_font_;
  CLayeredWindowHelperST layered_;
  StatusAnnouncer announcer_;
  Point drag_offset_;
  UINT system_dpi_ = 96;  // what the stored sizes and font heights are meant at
  UINT window_dpi_ = 96;  // the monitor's the window is drawn on
};

}  // namespace veltra
