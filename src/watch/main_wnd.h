// Veltrawatch's hidden main window: the target of the watch timer, the
// owner of the notification icon and its menu. Its end ends the program.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "platform/unique_handle.h"
#include "ui/notify_icon.h"
#include "ui/window.h"

namespace veltra::watch {

class CTrayIconApp;

inline constexpr UINT_PTR kWatchTimerId = 200;
inline constexpr UINT WM_WATCH_NOTIFY = WM_USER + 1;  // the notification icon's callback
inline constexpr wchar_t kTip[] = L"Veltra Control";

class CMainWnd : public ui::Window {
 public:
  explicit CMainWnd(const CTrayIconApp& app);
  ~CMainWnd() override;

  // Creates the hidden window; false when it could not be created.
  bool CreateHidden();
  // Adds the notification icon, waiting while the shell times out. On any
  // other failure tells the user and closes the window, which ends the
  // program; false then.
  bool AddNotifyIcon();
  // After the shell's "TaskbarCreated": the icon modified, or added if the
  // shell lacks it; a failure is traced and the watcher goes on.
  void ReshowNotifyIcon();
  void StartWatching();

 protected:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void PostNcDestroy() noexcept override;

 private:
  NOTIFYICONDATAW IconData() const;
  void OnNotifyIcon(UINT mouse_message);
  void ShowMenu();
  void Exit();

  const CTrayIconApp& app_;
  bool watching_ = true;
  UniqueHicon watching_icon_;
  UniqueHicon paused_icon_;
  ui::NotifyIcon icon_;
};

}  // namespace veltra::watch
