// The status window's cleaning of the screen: the panel held off for
// clean_seconds while the screen is wiped, with a countdown in the window
// and the icon's tip, and the keyboard locked too if the settings ask; a
// switch by hand ends it.
#pragma once

#include <windows.h>

#include <string>

#include "window/cleaning_run.h"
#include "window/status_part.h"

namespace veltra {

class StatusKeys;

class StatusCleaning final : public StatusPart {
 public:
  StatusCleaning(StatusHost& host, StatusKeys& keys) noexcept : StatusPart(host), keys_(keys) {}

  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void StateShown(ShowReason reason) override;
  std::optional<std::wstring> StateText(bool tooltip) const override;
  void PrepareMenu(HMENU popup) override;
  void Exit() override;

 private:
  void Begin();
  void Look();
  // The run over, by time, the menu or Escape: the panel back as the door says.
  void Finish();
  // The clock and the keyboard let go, the keyboard first.
  void Stop() noexcept;

  StatusKeys& keys_;
  CleaningRun run_;
};

}  // namespace veltra
