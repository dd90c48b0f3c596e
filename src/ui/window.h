// A plain window whose procedure reaches a C++ object: the object is kept in
// the window's user data from the first message on, answers messages in
// OnMessage, and hears of the window's end in PostNcDestroy. Nothing thrown
// leaves the window procedure.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace veltra::ui {

class Window {
 public:
  Window() = default;
  // Destroys a window still open, without calling PostNcDestroy: a subclass
  // that needs its clean-up destroys the window in its own destructor.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Registers `class_name` with `class_style` in this module if it is not
  // yet, and creates the window. False when it could not be created.
  bool Create(const wchar_t* class_name, UINT class_style, const wchar_t* title, DWORD style, int x, int y,
              int width, int height, HWND parent);

  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  // Every message from WM_NCCREATE on; nullopt leaves it to DefWindowProcW.
  virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // After the window's last message; hwnd() is null by then.
  virtual void PostNcDestroy() noexcept {}

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

  HWND hwnd_ = nullptr;
};

// A window's whole text, however long.
std::wstring WindowText(HWND window);

}  // namespace veltra::ui
