// The configuration dialog's controls that act outside the program: the
// wallpapers of the two orientations, the scheduled tasks, and the status
// window's stored position.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "config/config_dlg.h"
#include "config/icon_dialog_rules.h"
#include "resources/resource.h"
#include "startup/scheduled_tasks.h"
#include "window/wallpaper.h"

namespace veltra {
namespace {

constexpr std::wstring_view kWallpaperFilter = L"jpeg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp|png(*.png)|*.png|all(*.*)|*.*||";

}  // namespace

// The horizontal side applies while the screen is landscape, the vertical
// one while it is portrait.
bool CConfigDlg::WallpaperSideMatches(bool horizontal) const { return horizontal == (settings_.portrait == 0); }

void CConfigDlg::SetWallpaperIfWanted(bool horizontal) {
  const std::int32_t enabled = horizontal ? settings_.horizonal_enable : settings_.vertical_enable;
  if (!WallpaperSideMatches(horizontal) || enabled == 0) return;
  // A failure (the image deleted meanwhile) leaves the desktop and the
  // stored path as they are.
  if (horizontal) {
    SetDesktopWallpaper(settings_.horizonal, settings_.horizonal_style);
  } else {
    SetDesktopWallpaper(settings_.vertical, settings_.vertical_style);
  }
}

void CConfigDlg::SelectWallpaper(bool horizontal) {
  std::wstring& stored = horizontal ? settings_.horizonal : settings_.vertical;
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  stored.copy(file.data(), std::min(stored.size(), file.size() - 1));
  const std::wstring filter = NulSeparatedFilter(kWallpaperFilter);
  OPENFILENAMEW open{};
  open.lStructSize = sizeof(open);
  open.lpstrFilter = filter.c_str();
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  open.lpstrDefExt = L"jpg";  // the extension alone: the platform adds the dot
  open.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER;
  if (!::GetOpenFileNameW(&open) || file[0] == L'\0') return;
  stored = file.data();
  SetWallpaperIfWanted(horizontal);
  ::SetWindowTextW(Item(horizontal ? IDC_CFG_HWALLPAPER_PATH : IDC_CFG_VWALLPAPER_PATH), stored.c_str());
}

// The box's setting was stored already; its task is removed and, when
// wanted, registered again. The tick stays as the user left it even when
// the registration failed and the setting is 0.
void CConfigDlg::OnTaskBox(int id) {
  const ScheduledTask task = id == IDC_CFG_TASK_STARTUP ? ScheduledTask::Logon
                             : id == IDC_CFG_TASK_BOOT  ? ScheduledTask::Boot
                                                        : ScheduledTask::Lock;
  // Never two registrations of one task at once: the start-up refresh ends
  // first (it has, since the dialog opened), and the tick just stored wins
  // over what it found.
  std::uint8_t& box = TaskFlag(settings_, task);
  const std::uint8_t ticked = box;
  TakeStartUpRefresh();
  box = ticked;
  RefreshTask(task, settings_, app_, hwnd());
}

// The start-up refresh's outcome, waited for if it still runs; its message
// is shown here when the status window has not shown it yet.
void CConfigDlg::TakeStartUpRefresh() {
  if (task_refresh_ != nullptr && task_refresh_->Apply(settings_)) TellTaskDefinitionFailed(app_, hwnd());
}

// The status window's place now becomes the stored one of the current
// orientation.
void CConfigDlg::CapturePosition() {
  const std::optional<Point> corner = status_.WindowCorner();
  if (!corner) return;
  if (settings_.portrait != 0) {
    settings_.vertical_pos_x = corner->x;
    settings_.vertical_pos_y = corner->y;
  } else {
    settings_.horizontal_pos_x = corner->x;
    settings_.horizontal_pos_y = corner->y;
  }
  NotifySettingsChanged();
}

}  // namespace veltra
