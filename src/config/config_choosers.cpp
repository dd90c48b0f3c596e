// The configuration dialog's colour, font and icon choosers.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "config/config_dlg.h"
#include "config/icon_dialog.h"
#include "ui/file_icons.h"
#include "window/log_font.h"

namespace veltra {

void CConfigDlg::PickColour(const ColorFields& colour) {
  // The chooser edits the sixteen custom colours in place.
  COLORREF custom[16];
  std::copy(settings_.palette.begin(), settings_.palette.end(), std::begin(custom));
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof(chooser);
  chooser.hwndOwner = hwnd();
  chooser.rgbResult = RGB(static_cast<BYTE>(*colour.r), static_cast<BYTE>(*colour.g), static_cast<BYTE>(*colour.b));
  chooser.lpCustColors = custom;
  chooser.Flags = CC_FULLOPEN | CC_RGBINIT;
  const bool chosen = ::ChooseColorW(&chooser) != FALSE;
  std::copy(std::begin(custom), std::end(custom), settings_.palette.begin());
  if (!chosen) return;
  *colour.r = GetRValue(chooser.rgbResult);
  *colour.g = GetGValue(chooser.rgbResult);
  *colour.b = GetBValue(chooser.rgbResult);
  NotifySettingsChanged();
}

void CConfigDlg::PickFont(FontRecord& font) {
  LOGFONTW chosen = ToLogFont(font);
  CHOOSEFONTW chooser{};
  chooser.lStructSize = sizeof(chooser);
  chooser.hwndOwner = hwnd();
  chooser.lpLogFont = &chosen;
  chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!::ChooseFontW(&chooser)) return;
  font = FromLogFont(chosen);
  NotifySettingsChanged();
}

void CConfigDlg::PickIcon(const IconFields& icon) {
  std::wstring& file = *icon.file;
  std::int32_t& index = *icon.index;

  // The picker opens on the stored icon only when that one can be taken
  // from its file; otherwise on its own default.
  CIconDialog picker(app_);
  if (ui::ExtractFileIcon(app_.instance(), file, index)) {
    if (static_cast<std::uint32_t>(index) < ui::FileIconCount(app_.instance(), file)) {
      picker.path = file;
      picker.index = index;
    }
  }
  if (picker.DoModal(hwnd()) != IDOK) return;

  file = picker.path;
  index = picker.index;
  // A choice no icon can be taken from (an empty list gives index -1)
  // falls back to the built-in icon of the state.
  if (!ui::ExtractFileIcon(app_.instance(), file, index)) {
    file.clear();
    index = 0;
  }
  NotifySettingsChanged();
}

}  // namespace veltra
