// A dialog base class with one dispatch point, modal or modeless, and the
// one message loop of the thread. The loop offers each queued message to
// the open dialog that owns its target window, first to that dialog's
// pre-translation and then to its dialog-manager keyboard handling, so
// several dialogs share one loop and each keeps its own Tab, Enter and
// Escape handling.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace veltra::ui {

class Dialog {
 public:
  explicit Dialog(UINT template_id) noexcept : template_id_(template_id) {}
  // Destroys a window still open, after cutting it off from this object:
  // the derived part is gone by then, so none of its handlers may run. A
  // derived class whose handlers must see its window's end (to undo what
  // the window did) calls Destroy() in its own destructor.
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the dialog and runs the loop until EndDialog; returns its
  // result, or -1 if the window could not be created. `owner` stays
  // disabled while the dialog runs and is active again when it ends. A
  // window destroyed from outside (with its owner, say) ends the run as
  // IDCANCEL, so the caller's loop is not left waiting for ever.
  INT_PTR DoModal(HWND owner);
  // The first way out decides the result: a later call (a second command
  // queued behind the first, say) changes nothing.
  void EndDialog(INT_PTR result) noexcept;

  // A modeless life: the window is created once and kept (hidden or shown)
  // until Destroy or the object's end. True when the window exists.
  bool Create(HWND owner);
  void Show(bool visible) noexcept {
    if (hwnd_ != nullptr) ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
  }
  void Destroy() noexcept;

  HWND hwnd() const noexcept { return hwnd_; }
  // True once the modal run has its result: EndDialog, or the window gone.
  bool ended() const noexcept { return ended_; }

  // Offers a queued message to the open dialog whose window holds its
  // target; true when that dialog consumed it.
  static bool RouteMessage(MSG& message);

 protected:
  // A queued message for one of this dialog's windows, before the dialog
  // manager sees it; true consumes it.
  virtual bool PreTranslateMessage(MSG& message) { (void)message; return false; }
  // Every message after WM_INITDIALOG; nullopt leaves it to the dialog
  // manager's default handling.
  virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  virtual BOOL OnInitDialog() { return TRUE; }

  HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
  // Moves the window, whose template puts it at its origin, to the middle of
  // its owner (`over_owner`, when the owner is shown) or of the work area
  // of the owner's monitor, kept inside that work area.
  void Centre(bool over_owner) const noexcept;
  // A tooltip window of this dialog showing `text` for the control `id`
  // (and for the edit of a combo box, which covers most of it); it goes
  // with the dialog. The loop relays the mouse to it, so the controls need
  // no subclassing. `always`: shown even while the dialog is inactive.
  void AddTooltip(int id, const std::wstring& text, bool always = false);

 private:
  HWND CreateWindowFor(HWND owner);
  void Detach(HWND window) noexcept;
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

  UINT template_id_;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  bool modal_ = false;  // a DoModal loop waits on ended_
  INT_PTR result_ = 0;
  std::vector<HWND> tooltips_;  // owned by the window, which destroys them
};

// Runs the thread's messages through Dialog::RouteMessage until `done`
// turns true or the thread is asked to quit (the quit request is posted
// again for the loop outside).
void RunMessageLoop(const bool& done);

}  // namespace veltra::ui
