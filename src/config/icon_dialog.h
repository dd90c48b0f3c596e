// CIconDialog: the icon picker. It shows a file's path and every icon of the
// file as a cell of an owner-drawn list, and returns the chosen file and the
// icon's position in it. The configuration dialog runs it for the two
// notification-area icons; the picker itself touches no setting.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "ui/dialog.h"
#include "ui/win_app.h"

namespace veltra {

// Runs the platform's open-file dialog; true when the user chose a file
// (written to the structure's file buffer). Tests answer it themselves.
using OpenFileDialog = std::function<bool(OPENFILENAMEW&)>;

class CIconDialog final : public ui::Dialog {
 public:
  // Pixels at 96 DPI; at another DPI they grow with it, as the dialog's
  // text does.
  static constexpr int kCellSize = 20;  // both ways
  static constexpr int kIconSize = 16;  // drawn 2 pixels in from the cell's corner
  static constexpr int kIconInset = 2;

  // Starts on the system folder's SHELL32.dll and its first icon. An empty
  // `open_file` asks the platform's open-file dialog.
  explicit CIconDialog(const ui::WinApp& app, OpenFileDialog open_file = {});
  ~CIconDialog() override;

  // The caller may preset both before DoModal; after IDOK they hold the
  // choice. `index` is -1 when the list had no icon to select.
  std::wstring path;
  std::int32_t index = 0;

 protected:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL OnInitDialog() override;

 private:
  std::wstring EditText() const;

  // Empties the list and fills it from `path`, item i holding icon i, the
  // first one selected; a file that cannot be opened or has no icon is
  // reported and leaves the list empty.
  void Fill();
  bool CanOpen() const;
  void ReleaseIcons();

  void DrawCell(const DRAWITEMSTRUCT& item) const;
  // The list's cells at the dialog's DPI, `dpi_`.
  void SizeCells();
  int AtDpi(int pixels) const;
  void OnBrowse();
  void OnOk();

  const ui::WinApp& app_;
  OpenFileDialog open_file_;
  // The icons of the list's items, in item order: each item's data is the
  // handle held here, so every handle has exactly one owner.
  std::vector<UniqueHicon> icons_;
  UINT dpi_ = 96;
};

}  // namespace veltra
