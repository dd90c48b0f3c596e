// StatusAnnouncer: what the status window tells assistive technology. The
// window is named by the state text it shows (for a standard window the
// name screen readers read is its text, as for the text control), and each
// change of what it shows is raised as a polite live-region change, which a
// screen reader speaks although the window never has the focus.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/com.h"

namespace veltra {

class StatusAnnouncer {
 public:
  StatusAnnouncer() = default;
  ~StatusAnnouncer() { Detach(); }
  StatusAnnouncer(const StatusAnnouncer&) = delete;
  StatusAnnouncer& operator=(const StatusAnnouncer&) = delete;

  // Names `window` by what it shows from now on; its changes are raised
  // once it is marked (MarkLiveRegion).
  void Attach(HWND window) noexcept;
  // Marks the window as a polite live region, and raises a change shown
  // before. Where the platform keeps no live setting (no accessibility
  // library, or one that refuses the annotation), changes are raised as
  // name changes instead.
  void MarkLiveRegion() noexcept;
  // Takes the annotation off; called while the window still exists.
  void Detach() noexcept;

  // Names the window `text`. Raises the change when the state or the text
  // differs from what the window showed (its first showing is a change):
  // a repaint of the same state is not news. Before the mark, the change
  // waits for it.
  void Show(std::wstring_view text, bool enabled);
  // Names the window `text` and raises nothing: the steps of a countdown
  // are not news, only its start and its end are (both through Show).
  void Rename(std::wstring_view text);

  // What a change raises, for the window's client area.
  DWORD change_event() const noexcept {
    return annotations_ ? EVENT_OBJECT_LIVEREGIONCHANGED : EVENT_OBJECT_NAMECHANGE;
  }

 private:
  void Raise() noexcept;

  HWND window_ = nullptr;
  // Held while the annotation stands: it is cleared through the same object.
  std::optional<ComApartment> apartment_;
  ComPtr<IAccPropServices> annotations_;
  bool marked_ = false;
  bool change_unraised_ = false;  // shown before the mark
  std::optional<bool> shown_state_;
  std::wstring shown_text_;
};

}  // namespace veltra
