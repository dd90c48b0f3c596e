// The target device selection dialog and its test of a device.
#include "device/device_selection_dlg.h"

#include <commctrl.h>

#include <string_view>
#include <utility>

#include "device/device_control.h"
#include "device/device_selection.h"
#include "device/system_info.h"
#include "platform/strings.h"
#include "platform/trace.h"
#include "resources/resource.h"

namespace veltra {
namespace {

constexpr UINT kTestTickMs = 1000;

}  // namespace

CInitDlg::CInitDlg(const ui::WinApp& app, Settings& settings, std::wstring preset_path, DeviceLister lister,
                   LANGID language)
    : ui::Dialog(IDD_INIT_DIALOG),
      preset_path_(std::move(preset_path)),
      language_(language),
      app_(app),
      settings_(settings),
      lister_(std::move(lister)) {
  if (!lister_) {
    lister_ = [this](DeviceList& list) {
      EnumerateHidDevices(list, [this](const std::wstring& message) { app_.ShowMessage(message, MB_OK, hwnd()); });
    };
  }
}

CInitDlg::~CInitDlg() { Destroy(); }

std::wstring CInitDlg::Text(UINT id) const { return LoadLocalizedText(app_.instance(), id, language_); }

BOOL CInitDlg::OnInitDialog() {
  list_ = DeviceList{};
  lister_(list_);
  passed_.assign(list_.size(), 0);
  ever_tested_.assign(list_.size(), false);
  testing_ = false;

  const HWND combo = Item(IDC_INIT_DEVICE_LIST);
  for (const HidDevice& device : list_) {
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(device.id.c_str()));
  }
  if (list_.empty()) {
    ::SetDlgItemTextW(hwnd(), IDC_INIT_DEVICE_NAME, Text(IDS_INIT_NO_DEVICE).c_str());
    ::SetDlgItemTextW(hwnd(), IDC_INIT_DEVICE_NUMBER, L"");
    EnableItem(IDC_INIT_TEST_START, false);
  } else {
    const std::size_t index = InitialSelection(list_, preset_path_);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ShowDevice(index);
  }
  EnableItem(IDOK, false);
  CreateTooltips();
  ShowSystemInfo();

  // The template is not visible by itself: it is shown once it is complete.
  // In the middle of the work area its owner (or the primary monitor) shows.
  Centre(false);
  ::ShowWindow(hwnd(), SW_SHOW);
  // The list is what the user works with first; with nothing in it, Cancel.
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_.empty() ? Item(IDCANCEL) : combo), TRUE);
  return FALSE;
}

void CInitDlg::CreateTooltips() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&classes);

  const std::pair<int, UINT> tools[] = {{IDC_INIT_DEVICE_LIST, IDS_INIT_TIP_LIST},
                                        {IDC_INIT_TEST_START, IDS_INIT_TIP_TEST},
                                        {IDOK, IDS_INIT_TIP_OK},
                                        {IDCANCEL, IDS_INIT_TIP_CANCEL}};
  for (const auto& [id, text] : tools) AddTooltip(id, Text(text), true);
}

std::optional<LRESULT> CInitDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  (void)lparam;
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          // The command can come without a click (a posted message, the
          // dialog manager's default): only an enabled OK accepts.
          if (::IsWindowEnabled(Item(IDOK))) Accept();
          return 0;
        case IDCANCEL:
          Cancel();
          return 0;
        case IDC_INIT_DEVICE_LIST:
          if (HIWORD(wparam) != CBN_SELCHANGE) return std::nullopt;
          OnSelectionChange();
          return 0;
        case IDC_INIT_TEST_START:
          if (HIWORD(wparam) != BN_CLICKED) return std::nullopt;
          OnTestStart();
          return 0;
        default:
          return std::nullopt;
      }
    case WM_TIMER:
      if (wparam != kTestTimer) return std::nullopt;
      OnTestTick();
      return 0;
    case WM_CLOSE:
      // The close box cancels even while a test has Cancel disabled, where
      // the dialog manager may refuse to turn it into IDCANCEL.
      Cancel();
      return 0;
    case WM_ENDSESSION:
      if (wparam != 0) Cancel();
      return 0;
    case WM_DESTROY:
      // However the window goes (a quit request ends the loop without
      // Cancel, the owner's end takes it along), a device under test is not
      // left disabled.
      AbandonTest();
      EnableTestedDevices();
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<std::size_t> CInitDlg::Selection() const {
  if (list_.empty()) return std::nullopt;
  const LRESULT selected = ::SendMessageW(Item(IDC_INIT_DEVICE_LIST), CB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= list_.size()) return 0;
  return static_cast<std::size_t>(selected);
}

std::optional<std::size_t> CInitDlg::ReselectCurrent() const {
  const std::optional<std::size_t> index = Selection();
  if (index) ::SendMessageW(Item(IDC_INIT_DEVICE_LIST), CB_SETCURSEL, *index, 0);
  return index;
}

void CInitDlg::ShowDevice(std::size_t index) const {
  ::SetDlgItemTextW(hwnd(), IDC_INIT_DEVICE_NAME, list_[index].description.c_str());
  ::SetDlgItemTextW(hwnd(), IDC_INIT_DEVICE_NUMBER,
                    FormatNumber(Text(IDS_INIT_DEVICE_NUMBER), static_cast<int>(index + 1)).c_str());
}

void CInitDlg::ShowSystemInfo() const {
  const TouchInfoText info =
      DescribeTouchInput(::GetSystemMetrics(SM_DIGITIZER), ::GetSystemMetrics(SM_MAXIMUMTOUCHES));
  const std::wstring line = TouchInfoLine(Text(IDS_SYSINFO_PREFIX), Text(info.string_id), info.touch_points);
  ::SetDlgItemTextW(hwnd(), IDC_INIT_SYSTEM_INFO, line.c_str());
}

void CInitDlg::OnSelectionChange() {
  const std::optional<std::size_t> index = Selection();
  if (!index) return;
  ShowDevice(*index);
  // OK stays off while a test runs, whatever the item's past.
  EnableItem(IDOK, passed_[*index] == 1 && !testing_);
}

void CInitDlg::OnTestStart() {
  if (testing_) return;
  const std::optional<std::size_t> index = ReselectCurrent();
  if (!index) return;
  // The test starts when the user has read what it does.
  app_.ShowMessage(Text(IDS_INIT_TEST_NOTICE), MB_ICONEXCLAMATION | MB_OK, hwnd());
  // A message box's own loop can end the dialog underneath.
  if (ended()) return;

  tested_path_ = list_[*index].id;
  tested_ = *index;
  ever_tested_[*index] = true;
  MarkUnderTest(tested_path_);
  // Whether the device really went off is what the user is asked after.
  SwitchDevice(settings_, tested_path_, false);
  testing_ = true;
  ticks_ = 0;
  // A disabled control cannot keep the focus, and with no focus Escape would
  // not reach the dialog manager.
  const HWND focus = ::GetFocus();
  if (focus == Item(IDOK) || focus == Item(IDCANCEL) || focus == Item(IDC_INIT_TEST_START)) {
    ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_INIT_DEVICE_LIST)), TRUE);
  }
  EnableItem(IDOK, false);
  EnableItem(IDCANCEL, false);
  EnableItem(IDC_INIT_TEST_START, false);
  ::SetDlgItemTextW(hwnd(), IDC_INIT_TEST_START, Text(IDS_INIT_TESTING).c_str());
  if (::SetTimer(hwnd(), kTestTimer, kTestTickMs, nullptr) == 0) {
    // Without its timer the test would never end.
    TraceLastError(L"SetTimer");
    ticks_ = kTestSeconds;
    OnTestTick();
  }
}

void CInitDlg::OnTestTick() {
  if (!testing_) {
    // A tick queued before the test ended.
    ::KillTimer(hwnd(), kTestTimer);
    return;
  }
  ++ticks_;
  if (ticks_ <= kTestSeconds) {
    ::SetDlgItemTextW(hwnd(), IDC_INIT_TEST_START,
                      FormatNumber(Text(IDS_INIT_TESTING_COUNT), kTestSeconds + 1 - ticks_).c_str());
    ShowSystemInfo();
    return;
  }
  FinishTest();
}

void CInitDlg::FinishTest() {
  ::KillTimer(hwnd(), kTestTimer);
  testing_ = false;
  EnableItem(IDC_INIT_TEST_START, true);
  ::SetDlgItemTextW(hwnd(), IDC_INIT_TEST_START, Text(IDS_INIT_TEST_START).c_str());
  EnableItem(IDCANCEL, true);
  // The answers are about the device that was tested: a selection changed
  // during the test must not give another device the pass, nor let the
  // second Yes accept a device that was never tested.
  ::SendMessageW(Item(IDC_INIT_DEVICE_LIST), CB_SETCURSEL, tested_, 0);
  ShowDevice(tested_);
  const std::optional<std::size_t> index = Selection();
  // The device works again before the user is asked anything.
  SwitchDevice(settings_, tested_path_, true);
  MarkUnderTest(L"");
  ShowSystemInfo();
  if (!index) return;

  const int disabled = app_.ShowMessage(Text(IDS_INIT_ASK_DISABLED), MB_ICONQUESTION | MB_YESNO, hwnd());
  // As after every box here: its own loop can end the dialog underneath.
  if (ended()) return;
  if (disabled != IDYES) {
    passed_[*index] = 0;
    EnableItem(IDOK, false);
    app_.ShowMessage(Text(IDS_INIT_TRY_ANOTHER), MB_ICONINFORMATION | MB_OK, hwnd());
    return;
  }
  if (app_.ShowMessage(Text(IDS_INIT_ASK_TARGET), MB_ICONQUESTION | MB_YESNO, hwnd()) == IDYES && !ended()) Accept();
  if (ended()) return;
  passed_[*index] = 1;
  EnableItem(IDOK, true);
}

void CInitDlg::Accept() {
  ::KillTimer(hwnd(), kTestTimer);
  AbandonTest();
  const std::optional<std::size_t> index = ReselectCurrent();
  if (!index) return;
  settings_.device_instance_path = list_[*index].id;
  EndDialog(IDOK);
}

void CInitDlg::Cancel() {
  AbandonTest();
  EndDialog(IDCANCEL);
}

void CInitDlg::AbandonTest() {
  if (!testing_) return;
  testing_ = false;
  ::KillTimer(hwnd(), kTestTimer);
  SwitchDevice(settings_, tested_path_, true);
  MarkUnderTest(L"");
}

void CInitDlg::MarkUnderTest(const std::wstring& id) {
  settings_.device_under_test = id;
  if (store_ != nullptr && !SaveDeviceUnderTest(id, *store_)) {
    TraceLastError(L"writing the device under test");
  }
}

void CInitDlg::EnableTestedDevices() {
  for (std::size_t i = 0; i < ever_tested_.size(); ++i) {
    if (ever_tested_[i] && GetDeviceState(list_[i].id) != 1) {
      SwitchDevice(settings_, list_[i].id, true);
    }
  }
  if (!settings_.device_under_test.empty()) MarkUnderTest(L"");
}

INT_PTR RunDeviceSelection(const ui::WinApp& app, Settings& settings, ProfileStore* store, HWND owner,
                           DeviceLister lister) {
  // The status window may have left the current target disabled; the user
  // is about to judge touch input, so it works again first.
  SwitchDevice(settings, true);
  CInitDlg dialog(app, settings, settings.device_instance_path, std::move(lister));
  dialog.set_store(store);
  return dialog.DoModal(owner);
}

}  // namespace veltra
