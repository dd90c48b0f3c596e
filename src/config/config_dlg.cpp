// The configuration dialog: initialisation from the control table, the
// generic handlers of check boxes, radio buttons, scroll bars and edits,
// and the tooltips.
#include "config/config_dlg.h"

#include <commctrl.h>

#include <string>
#include <type_traits>
#include <variant>

#include "base/decimal.h"
#include "config/config_rules.h"
#include "platform/strings.h"
#include "resources/resource.h"
#include "ui/window.h"

namespace veltra {
namespace {

// The integer a plain field holds; nullopt for any other kind of field.
std::optional<std::int32_t> IntegerOf(const ControlField& field) {
  if (const auto* value = std::get_if<std::int32_t*>(&field)) return **value;
  if (const auto* value = std::get_if<std::uint8_t*>(&field)) return **value;
  return std::nullopt;
}

// Whether two controls edit the same plain setting.
bool SameInteger(const ControlField& a, const ControlField& b) {
  const auto* wide_a = std::get_if<std::int32_t*>(&a);
  const auto* wide_b = std::get_if<std::int32_t*>(&b);
  if (wide_a != nullptr && wide_b != nullptr) return *wide_a == *wide_b;
  const auto* byte_a = std::get_if<std::uint8_t*>(&a);
  const auto* byte_b = std::get_if<std::uint8_t*>(&b);
  return byte_a != nullptr && byte_b != nullptr && *byte_a == *byte_b;
}

void StoreInteger(const ControlField& field, std::int32_t value) {
  if (const auto* target = std::get_if<std::int32_t*>(&field)) **target = value;
  if (const auto* target = std::get_if<std::uint8_t*>(&field)) **target = static_cast<std::uint8_t>(value);
}

bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

CConfigDlg::CConfigDlg(const ui::WinApp& app, Settings& settings, StatusWindowLink& status, LANGID language)
    : ConfigDialogLink(IDD_CONFIG_DIALOG), app_(app), settings_(settings), status_(status), language_(language) {}

BOOL CConfigDlg::OnInitDialog() {
  // The task boxes show what the start-up refresh found.
  TakeStartUpRefresh();
  ShowStoredHotKey();
  for (const ConfigControl& control : ConfigControls()) {
    // The settings file gives a text back only this long, so a longer one
    // typed or pasted here would be cut at the next start.
    if (control.kind == ControlKind::Edit) ::SendMessageW(Item(control.id), EM_SETLIMITTEXT, kIniStringMax, 0);
    ShowControl(control);
  }
  EnableHotKeyControls();
  EnableWinKeyControls();
  CreateTooltips();
  return TRUE;
}

void CConfigDlg::ShowSetting(int control_id) {
  if (const ConfigControl* control = FindConfigControl(control_id)) ShowControl(*control);
}

// One control as the settings record holds it now.
void CConfigDlg::ShowControl(const ConfigControl& control) {
  const HWND item = Item(control.id);
  if (item == nullptr || control.field == nullptr) return;
  const ControlField field = control.field(settings_);
  const std::optional<std::int32_t> value = IntegerOf(field);
  switch (control.kind) {
    case ControlKind::CheckBox:
      ::SendMessageW(item, BM_SETCHECK, value.value_or(0) != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::RadioButton: {
      // The mouse setting knows only "0" and "anything else"; the other
      // groups show a value outside theirs with no button checked.
      const bool on = control.id == IDC_CFG_LBUTTON_MODE_1 ? value.value_or(0) != 0 : value == control.radio_value;
      ::SendMessageW(item, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    }
    case ControlKind::Edit:
    case ControlKind::Label:
      if (const auto* text = std::get_if<std::wstring*>(&field)) {
        ::SetWindowTextW(item, (*text)->c_str());
      } else if (control.id == IDC_CFG_WINKEY_RESPONSE_VALUE) {
        ::SetWindowTextW(item, ResponseTimeText(value.value_or(0)).c_str());
      } else if (value) {
        ::SetWindowTextW(item, base::DecimalText(*value).c_str());
      }
      break;
    case ControlKind::ScrollBar:
      ::SetScrollRange(item, SB_CTL, control.min, control.max, FALSE);
      ::SetScrollPos(item, SB_CTL, value.value_or(0), TRUE);
      break;
    case ControlKind::UpDown:
      ::SendMessageW(item, UDM_SETRANGE32, static_cast<WPARAM>(control.min), control.max);
      ::SendMessageW(item, UDM_SETPOS32, 0, value.value_or(0));
      break;
    default:
      break;
  }
}

void CConfigDlg::CreateTooltips() {
  const LANGID language =
      language_ == kJapaneseLanguage ? kJapaneseLanguage : LANGID{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
  for (const ConfigControl* control : ConfigTooltipOrder()) {
    AddTooltip(control->id, LoadLocalizedText(app_.instance(), control->tooltip_text, language));
  }
}

std::optional<LRESULT> CConfigDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_HSCROLL:
      OnScroll(reinterpret_cast<HWND>(lparam), LOWORD(wparam), static_cast<short>(HIWORD(wparam)));
      return std::nullopt;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lparam) == Item(IDC_CFG_WINKEY_RESPONSE) && LOWORD(wparam) == SB_THUMBPOSITION) {
        OnResponseTime(static_cast<short>(HIWORD(wparam)));
      }
      return std::nullopt;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      OnWheel(wparam);
      return 0;
    default:
      return std::nullopt;
  }
}

void CConfigDlg::OnCommand(int id, int code) {
  if (id == IDOK || id == IDCANCEL) {
    // A combination typed but never applied is dropped; Cancel cannot be
    // pressed, but a cancel command hides the dialog all the same.
    if (id == IDOK) ShowStoredHotKey();
    Show(false);
    return;
  }
  const ConfigControl* control = FindConfigControl(id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::Edit) {
    if (code != EN_UPDATE) return;
    const ControlField field = control->field(settings_);
    if (const auto* text = std::get_if<std::wstring*>(&field); text != nullptr) {
      **text = ui::WindowText(Item(id));
      NotifySettingsChanged();
    }
    return;
  }
  if (code == BN_CLICKED || (control->kind == ControlKind::ClickLabel && code == STN_CLICKED)) OnClicked(*control);
}

void CConfigDlg::OnClicked(const ConfigControl& control) {
  const ControlField field = control.field != nullptr ? control.field(settings_) : ControlField{};
  // The table's plain controls: the setting takes the box's state or the
  // radio button's value before the row's action runs. A push button
  // stores nothing itself, and its action tells the status window only of
  // a choice actually made.
  const bool plain = control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton ||
                     control.kind == ControlKind::ClickLabel;
  if (control.kind == ControlKind::CheckBox) {
    StoreInteger(field, Checked(Item(control.id)) ? 1 : 0);
  } else if (plain) {
    StoreInteger(field, control.radio_value);
  }

  switch (control.action) {
    case ControlAction::None:
      break;
    case ControlAction::PickColour:
      PickColour(std::get<ColorFields>(field));
      break;
    case ControlAction::PickFont:
      PickFont(*std::get<FontRecord*>(field));
      break;
    case ControlAction::PickIcon:
      PickIcon(std::get<IconFields>(field));
      break;
    case ControlAction::ApplyHotKey:
      ApplyHotKey();
      break;
    case ControlAction::EnableHotKey:
      OnHotKeyEnable();
      break;
    case ControlAction::OverrideWinKey:
      OnOverrideWinKey();
      break;
    case ControlAction::SelectHorizontalWallpaper:
    case ControlAction::SelectVerticalWallpaper:
      SelectWallpaper(control.action == ControlAction::SelectHorizontalWallpaper);
      break;
    case ControlAction::SetHorizontalWallpaper:
    case ControlAction::SetVerticalWallpaper:
      SetWallpaperIfWanted(control.action == ControlAction::SetHorizontalWallpaper);
      break;
    case ControlAction::TaskBox:
      OnTaskBox(control.id);
      break;
    case ControlAction::CapturePosition:
      CapturePosition();
      break;
    case ControlAction::SelectDevice:
      status_.SelectDevice(hwnd());
      break;
  }
  if (!plain) return;
  if (control.notifies) NotifySettingsChanged();

  // A label stands for a radio button without text: its group shows the
  // new value.
  if (control.kind == ControlKind::ClickLabel) {
    for (const ConfigControl& other : ConfigControls()) {
      if (other.kind == ControlKind::RadioButton && SameInteger(other.field(settings_), field)) ShowControl(other);
    }
  }
}

void CConfigDlg::OnScroll(HWND bar, int request, int thumb) {
  const ConfigControl* control = FindConfigControl(::GetDlgCtrlID(bar));
  if (control == nullptr || control->kind != ControlKind::ScrollBar) return;
  const ControlField field = control->field(settings_);
  const std::int32_t position =
      ScrolledPosition(request, ::GetScrollPos(bar, SB_CTL), control->min, control->max, thumb);
  if (IntegerOf(field) != position) {
    StoreInteger(field, position);
    ::SetWindowTextW(Item(control->value_label), base::DecimalText(position).c_str());
    NotifySettingsChanged();
  }
  ::SetScrollPos(bar, SB_CTL, position, TRUE);
}

// A wheel turn moves the scroll bar that has the focus by one line, away
// from the user to the left; with the focus elsewhere the wheel does
// nothing here.
void CConfigDlg::OnWheel(WPARAM wparam) {
  const HWND focus = ::GetFocus();
  if (focus == nullptr || ::GetParent(focus) != hwnd()) return;
  const ConfigControl* control = FindConfigControl(::GetDlgCtrlID(focus));
  if (control == nullptr || control->kind != ControlKind::ScrollBar) return;
  const int request = GET_WHEEL_DELTA_WPARAM(wparam) < 0 ? SB_LINERIGHT : SB_LINELEFT;
  OnScroll(focus, request, 0);
}

}  // namespace veltra
