// The icon picker and the icons it lists.
#include "config/icon_dialog.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <iterator>
#include <utility>

#include "config/icon_dialog_rules.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "resources/resource.h"
#include "ui/file_icons.h"
#include "ui/window.h"
#include "ui/monitor_dpi.h"
#include "window/placement.h"

namespace veltra {
namespace {

// The platform's limit for a path; the chosen file is read whole.
constexpr DWORD kPathBufferChars = 32768;

std::wstring SystemErrorText(DWORD error) {
  wchar_t text[kMaxOpenFailureText] = {};
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, static_cast<DWORD>(std::size(text)), nullptr);
  return std::wstring(text, length);
}

}  // namespace

CIconDialog::CIconDialog(const ui::WinApp& app, OpenFileDialog open_file)
    : ui::Dialog(IDD_ICON_DIALOG),
      path(SystemProgramPath(L"SHELL32.dll")),
      app_(app),
      open_file_(std::move(open_file)) {
  if (!open_file_) open_file_ = [](OPENFILENAMEW& dialog) { return ::GetOpenFileNameW(&dialog) != FALSE; };
}

// The window must go while this object is whole: its destruction releases
// the icons through OnMessage.
CIconDialog::~CIconDialog() { Destroy(); }

BOOL CIconDialog::OnInitDialog() {
  const HWND list = Item(IDC_ICON_LIST);
  ::SetWindowTextW(Item(IDC_ICON_FILE), path.c_str());
  // The list asks its owner for the item height while the template is being
  // built, before this object is attached to the window, so the cells get
  // their height here.
  dpi_ = ui::WindowDpi(hwnd());
  SizeCells();

  // Shown before the list is filled, so a failure to read the file is
  // reported over the dialog it concerns.
  // Over the configuration dialog that asked for it.
  Centre(true);
  ::ShowWindow(hwnd(), SW_SHOW);
  Fill();
  // An index the file does not have leaves the first icon selected.
  if (index >= 0 && static_cast<std::size_t>(index) < icons_.size()) {
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  // The dialog manager gives the focus to the first control, the edit.
  return TRUE;
}

int CIconDialog::AtDpi(int pixels) const { return ScaleForDpi(pixels, dpi_, 96); }

void CIconDialog::SizeCells() {
  const HWND list = Item(IDC_ICON_LIST);
  const int cell = AtDpi(kCellSize);
  ::SendMessageW(list, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(cell), 0);
  ::SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(cell, 0));
  ::InvalidateRect(list, nullptr, TRUE);
}

std::optional<LRESULT> CIconDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DPICHANGED:
      // Windows lays the dialog out again; the cells are the program's own.
      dpi_ = HIWORD(wparam);
      SizeCells();
      return std::nullopt;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          OnOk();
          return 0;
        case IDCANCEL:
          EndDialog(IDCANCEL);
          return 0;
        case IDC_ICON_BROWSE:
          if (HIWORD(wparam) != BN_CLICKED) return std::nullopt;
          OnBrowse();
          return 0;
        case IDC_ICON_LIST:
          if (HIWORD(wparam) != LBN_DBLCLK) return std::nullopt;
          // Posted, so the list finishes its click before the dialog ends.
          ::PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
          return 0;
        default:
          return std::nullopt;
      }
    case WM_DRAWITEM:
      if (wparam != IDC_ICON_LIST) return std::nullopt;
      DrawCell(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_DESTROY:
      ReleaseIcons();
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::wstring CIconDialog::EditText() const { return ui::WindowText(Item(IDC_ICON_FILE)); }

void CIconDialog::ReleaseIcons() {
  // The list lets go of the handles before they are destroyed, so it never
  // draws one that is gone.
  ::SendMessageW(Item(IDC_ICON_LIST), LB_RESETCONTENT, 0, 0);
  icons_.clear();
}

bool CIconDialog::CanOpen() const {
  const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return true;
  const DWORD error = ::GetLastError();
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  app_.ShowMessage(OpenFailureText(path, missing, missing ? std::wstring() : SystemErrorText(error)), MB_OK, hwnd());
  return false;
}

void CIconDialog::Fill() {
  ReleaseIcons();
  if (!CanOpen()) return;
  const std::uint32_t count = ui::FileIconCount(app_.instance(), path);
  if (!HasIcons(count)) {
    app_.ShowMessage(NoIconText(path), MB_OK, hwnd());
    return;
  }
  const HWND list = Item(IDC_ICON_LIST);
  icons_.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    // An icon that cannot be read keeps its cell, empty, so that every
    // later item's position is still its icon's index in the file.
    UniqueHicon icon = ui::ExtractFileIcon(app_.instance(), path, static_cast<std::int32_t>(i));
    const LRESULT inserted = ::SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(icon.get()));
    if (inserted < 0) {
      TraceFailure(L"LB_INSERTSTRING", static_cast<DWORD>(inserted));
      break;
    }
    icons_.push_back(std::move(icon));
  }
  ::SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void CIconDialog::DrawCell(const DRAWITEMSTRUCT& item) const {
  const RECT& cell = item.rcItem;
  switch (CellBackgroundFor((item.itemState & ODS_SELECTED) != 0, (item.itemAction & ODA_DRAWENTIRE) != 0,
                            (item.itemAction & ODA_SELECT) != 0)) {
    case CellBackground::kHighlight:
      ::FillRect(item.hDC, &cell, ::GetSysColorBrush(COLOR_HIGHLIGHT));
      break;
    case CellBackground::kWhite:
      ::FillRect(item.hDC, &cell, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
      break;
    case CellBackground::kUnchanged:
      break;
  }
  // An empty list that has the focus is drawn as item -1.
  if (item.itemID >= icons_.size() || !icons_[item.itemID]) return;
  const int inset = AtDpi(kIconInset);
  const int size = AtDpi(kIconSize);
  ::DrawIconEx(item.hDC, cell.left + inset, cell.top + inset, icons_[item.itemID].get(), size, size, 0, nullptr,
               DI_NORMAL);
}

void CIconDialog::OnBrowse() {
  const std::wstring filter = NulSeparatedFilter(kIconFileFilter);
  std::wstring file(kPathBufferChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathBufferChars;
  dialog.lpstrTitle = L"Select icon";
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!open_file_(dialog)) return;
  file.resize(std::wcslen(file.c_str()));
  path = std::move(file);
  index = 0;
  ::SetWindowTextW(Item(IDC_ICON_FILE), path.c_str());
  Fill();
}

void CIconDialog::OnOk() {
  // Enter in the edit loads the typed file; the dialog stays.
  if (::GetFocus() == Item(IDC_ICON_FILE)) {
    path = EditText();
    Fill();
    return;
  }
  path = EditText();
  index = static_cast<std::int32_t>(::SendMessageW(Item(IDC_ICON_LIST), LB_GETCURSEL, 0, 0));
  EndDialog(IDOK);
}

}  // namespace veltra
