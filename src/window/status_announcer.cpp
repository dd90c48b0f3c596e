// The status window's accessible name and its live-region announcements.
#include "window/status_announcer.h"

namespace veltra {
namespace {

// The annotation service and its interface, which MinGW's libraries lack.
// An elevated program takes COM classes from the machine's registration
// only, so the service is the system's own.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// UI Automation's LiveSetting property and its "polite" value (a screen
// reader finishes what it is saying first); MinGW's headers lack both.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

}  // namespace

void StatusAnnouncer::Attach(HWND window) noexcept {
  Detach();
  window_ = window;
}

void StatusAnnouncer::MarkLiveRegion() noexcept {
  if (window_ == nullptr || marked_) return;
  marked_ = true;
  // A thread already in the multithreaded apartment cannot enter this one,
  // but may still create the object.
  apartment_.emplace();
  HRESULT result = ::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                      reinterpret_cast<void**>(annotations_.ReleaseAndGetAddressOf()));
  if (SUCCEEDED(result)) {
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    result = annotations_->SetHwndProp(window_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty,
                                       polite);
  }
  if (FAILED(result)) {
    annotations_.Reset();
    apartment_.reset();
  }
  if (change_unraised_) Raise();
}

void StatusAnnouncer::Detach() noexcept {
  if (annotations_) {
    annotations_->ClearHwndProps(window_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &kLiveSettingProperty, 1);
    annotations_.Reset();
  }
  apartment_.reset();
  window_ = nullptr;
  marked_ = false;
  change_unraised_ = false;
  shown_state_.reset();
  shown_text_.clear();
}

void StatusAnnouncer::Show(std::wstring_view text, bool enabled) {
  if (window_ == nullptr || (shown_state_ == enabled && shown_text_ == text)) return;
  shown_state_ = enabled;
  shown_text_ = text;
  ::SetWindowTextW(window_, shown_text_.c_str());
  if (marked_) {
    Raise();
  } else {
    change_unraised_ = true;
  }
}

// Raised after the name changed: a screen reader reads it on the event.
void StatusAnnouncer::Raise() noexcept {
  change_unraised_ = false;
  ::NotifyWinEvent(change_event(), window_, OBJID_CLIENT, CHILDID_SELF);
}

void StatusAnnouncer::Rename(std::wstring_view text) {
  if (window_ == nullptr || shown_text_ == text) return;
  shown_text_ = text;
  ::SetWindowTextW(window_, shown_text_.c_str());
}

}  // namespace veltra
