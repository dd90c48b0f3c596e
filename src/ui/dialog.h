// A dialog base class with one dispatch point and a modal loop of our own,
// so the dialog sees queued messages before the dialog manager does.
#pragma once

#include <windows.h>

#include <optional>

namespace ui {

class Dialog {
 public:
  explicit Dialog(UINT template_id) noexcept : template_id_(template_id) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the dialog and runs it until EndDialog; returns its result, or
  // -1 if the window could not be created.
  INT_PTR DoModal(HWND parent);
  void EndDialog(INT_PTR result) noexcept;

  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  // A queued message before dispatch; true consumes it.
  virtual bool PreTranslateMessage(MSG& message) { (void)message; return false; }
  // Every message after WM_INITDIALOG; nullopt leaves it to the dialog
  // manager's default handling.
  virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  virtual BOOL OnInitDialog() { return TRUE; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

  UINT template_id_;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace ui
