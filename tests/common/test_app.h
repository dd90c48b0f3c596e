// The application object of the in-process tests: the framework's own,
// run for its module and name without starting anything.
#pragma once

#include "ui/win_app.h"

namespace veltra::testing {

class TestApp final : public ui::WinApp {
 protected:
  bool InitInstance() override { return false; }
};

}  // namespace veltra::testing
