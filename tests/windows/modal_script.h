// Scripted steps that drive a modal run from a thread timer. The timer ticks
// in every message loop of the thread (the dialog's, and those of the
// message boxes and choosers it opens), so a step can wait for a window,
// check it and act in it while the modal call has not returned.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace veltra::testing {

// A step returns false to be asked again at the next tick.
using Step = std::function<bool()>;

// Answers each of this thread's visible, enabled dialogs (the one in front
// of a modal chain) with its Cancel, No or OK command, whichever it has.
inline void CloseThreadDialogs() {
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window) || !::IsWindowEnabled(window)) return TRUE;
        for (const int id : {IDCANCEL, IDNO, IDOK}) {
          if (::GetDlgItem(window, id) != nullptr) return ::PostMessageW(window, WM_COMMAND, id, 0), TRUE;
        }
        return TRUE;
      },
      0);
}

namespace detail {
struct ModalRun {
  std::vector<Step> steps;
  std::function<void()> close;
  std::size_t next = 0;
  int waited = 0;
  bool busy = false;  // a step's own modal loop ticks too
  bool failed = false;
};
inline ModalRun* g_modal_run = nullptr;
inline constexpr int kBoundTicks = 200;  // 10 s of 50 ms

inline void CALLBACK ModalTick(HWND, UINT, UINT_PTR, DWORD) {
  ModalRun* run = g_modal_run;
  if (run == nullptr || run->busy) return;
  run->busy = true;
  try {
    if (run->failed) {
    } else if (run->next < run->steps.size() && run->steps[run->next]()) {
      ++run->next;
      run->waited = 0;
    } else if (++run->waited > kBoundTicks) {
      run->failed = true;
      if (run->next < run->steps.size()) {
        ADD_FAILURE() << "step " << run->next << " of " << run->steps.size() << " still waits after 10 s";
      } else {
        ADD_FAILURE() << "the modal run did not end within 10 s of its last step";
      }
    }
  } catch (const std::exception& e) {
    run->failed = true;
    ADD_FAILURE() << "step " << run->next << " threw: " << e.what();
  }
  // After a failure, whatever is open is closed at every tick, so that a
  // stuck run ends instead of hanging the test program.
  if (run->failed && run->close) run->close();
  run->busy = false;
}
}  // namespace detail

// Runs `modal` (a dialog's DoModal, or a click that opens a modal window)
// with `steps` on a 50 ms timer. The test fails when a step still waits
// after 10 s (a window that never appears), when the run does not end within
// 10 s of the last step, and when it ends before every step ran: what the
// steps left would check never held. After such a failure `close` is called
// at every tick until the run ends. The timer is always killed on return.
inline INT_PTR RunModalScript(std::vector<Step> steps, const std::function<INT_PTR()>& modal,
                              std::function<void()> close = &CloseThreadDialogs) {
  if (detail::g_modal_run != nullptr) {
    ADD_FAILURE() << "a modal script cannot run inside another";
    return -1;
  }
  detail::ModalRun run{std::move(steps), std::move(close)};
  const struct Timer {
    UINT_PTR id;
    ~Timer() {
      if (id != 0) ::KillTimer(nullptr, id);
      detail::g_modal_run = nullptr;
    }
  } timer{::SetTimer(nullptr, 0, 50, &detail::ModalTick)};
  detail::g_modal_run = &run;
  EXPECT_NE(timer.id, 0u) << "no timer for the script";
  const INT_PTR result = modal();
  EXPECT_EQ(run.next, run.steps.size()) << "the modal run ended (with " << result << ") before this step ran";
  return result;
}

}  // namespace veltra::testing
