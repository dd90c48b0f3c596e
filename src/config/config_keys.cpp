// The configuration dialog's hot key and Windows-key controls.
#include <windows.h>

#include <commctrl.h>

#include "config/config_dlg.h"
#include "config/config_rules.h"
#include "resources/resource.h"

namespace veltra {
namespace {

constexpr int kHotKeyControls[] = {IDC_CFG_HOTKEY,
                                   IDC_CFG_HOTKEY_APPLY,
                                   IDC_CFG_HOTKEY_MODE_TOGGLE,
                                   IDC_CFG_HOTKEY_MODE_ENABLE,
                                   IDC_CFG_HOTKEY_MODE_DISABLE,
                                   IDC_CFG_HOTKEY_MODE_ENABLE_LABEL,
                                   IDC_CFG_HOTKEY_MODE_DISABLE_LABEL};
constexpr int kWinKeyModeControls[] = {IDC_CFG_WINKEY_MODE_TOGGLE, IDC_CFG_WINKEY_MODE_ENABLE,
                                       IDC_CFG_WINKEY_MODE_DISABLE, IDC_CFG_WINKEY_MODE_ENABLE_LABEL,
                                       IDC_CFG_WINKEY_MODE_DISABLE_LABEL};

}  // namespace

void CConfigDlg::ShowStoredHotKey() {
  ::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_SETHOTKEY, HotKeyControlValue(settings_.fsModifiers, settings_.virtkey),
                 0);
}

void CConfigDlg::EnableHotKeyControls() {
  for (const int id : kHotKeyControls) ::EnableWindow(Item(id), settings_.enable_hotkey != 0);
}

void CConfigDlg::EnableWinKeyControls() {
  for (const int id : kWinKeyModeControls) ::EnableWindow(Item(id), settings_.override_winkey != 0);
}

// The control's combination becomes the hot key: the old one is let go,
// the new one registered when the hot key is on. A combination another
// program holds stays stored, unregistered, without a word.
void CConfigDlg::ApplyHotKey() {
  const StoredHotKey entered =
      StoredHotKeyOf(static_cast<std::uint16_t>(::SendMessageW(Item(IDC_CFG_HOTKEY), HKM_GETHOTKEY, 0, 0)));
  settings_.fsModifiers = entered.fsModifiers;
  settings_.virtkey = entered.virtkey;
  NotifySettingsChanged();
}

// The box's state is stored already.
void CConfigDlg::OnHotKeyEnable() {
  EnableHotKeyControls();
  if (settings_.enable_hotkey != 0) {
    ApplyHotKey();
  } else {
    NotifySettingsChanged();
  }
}

// The box's state is stored already; a hook that cannot be installed
// clears it again.
void CConfigDlg::OnOverrideWinKey() {
  NotifySettingsChanged();
  ::SendMessageW(Item(IDC_CFG_OVERRIDE_WINKEY), BM_SETCHECK,
                 settings_.override_winkey != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  EnableWinKeyControls();
}

void CConfigDlg::OnResponseTime(int position) {
  settings_.override_winkey_resp = position;
  ::SetWindowTextW(Item(IDC_CFG_WINKEY_RESPONSE_VALUE), ResponseTimeText(position).c_str());
}

}  // namespace veltra
