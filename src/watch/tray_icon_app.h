// Veltrawatch's application: one copy per session, its settings file and
// program lists read at start, the hidden window and the message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/unique_handle.h"
#include "ui/win_app.h"
#include "watch/watch_rules.h"

namespace veltra::watch {

class CTrayIconApp : public ui::WinApp {
 public:
  std::uint32_t interval() const noexcept { return interval_; }
  std::int32_t default_status() const noexcept { return default_status_; }
  const ProcessLists& lists() const noexcept { return lists_; }
  const std::string& program_name() const noexcept { return program_name_; }

 protected:
  bool InitInstance() override;

 private:
  void ReadSettings();
  void ReadLists();

  std::uint32_t interval_ = 100;
  std::int32_t default_status_ = 0;
  std::string ini_path_;
  std::string program_directory_;  // with its trailing backslash
  std::string program_name_;       // the file name without extension
  ProcessLists lists_;
  UniqueHandle instance_mutex_;
};

}  // namespace veltra::watch
