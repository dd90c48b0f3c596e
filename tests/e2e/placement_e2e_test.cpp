// The status window's place, look and orientation, with the simulated
// Veltra.exe on a Wine virtual desktop of a chosen size: the rectangle of
// each orientation, the wallpaper of each side, opacity and colours read
// back from the screen, a snapped drag with injected mouse input, and
// "Move to Center".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "../common/desktop_probes.h"
#include "e2e_support.h"

namespace veltra::e2e {
namespace {

using namespace std::chrono_literals;


using testing::Alpha;
using testing::WriteBitmap;
std::wstring Wallpaper() { return testing::DesktopValue(L"Wallpaper"); }

RECT WindowRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

bool Placed(HWND window, int left, int top, int width, int height) {
  const RECT r = WindowRect(window);
  return r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height;
}

// The window's pixels as the screen shows them now.
class Shot {
 public:
  explicit Shot(HWND window) : rect_(WindowRect(window)) {
    const int width = rect_.right - rect_.left;
    const int height = rect_.bottom - rect_.top;
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect_.left, rect_.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels_.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    width_ = width;
  }
  // 0x00RRGGBB at a point of the window.
  std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)] & 0xFFFFFF; }
  std::size_t Count(std::uint32_t rgb) const {
    std::size_t n = 0;
    for (const std::uint32_t p : pixels_) n += (p & 0xFFFFFF) == rgb ? 1 : 0;
    return n;
  }

 private:
  RECT rect_;
  int width_ = 0;
  std::vector<std::uint32_t> pixels_;
};

void Mouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (x * 65536 + width - 1) / width;
    input.mi.dy = (y * 65536 + height - 1) / height;
  }
  ::SendInput(1, &input, sizeof(input));
}

void MoveMouse(int x, int y) { Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y); }

// Whether the window's thread runs the system's move loop for it.
bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndMoveSize == window;
}

class Placement : public ::testing::Test {
 protected:
  void SetUp() override { saved_wallpaper_ = Wallpaper(); }
  void TearDown() override { testing::SetDesktopValue(L"Wallpaper", saved_wallpaper_); }

  std::wstring saved_wallpaper_;
};

const char kRectangles[] =
    "[position]\r\nhorizontal_pos_x=100\r\nhorizontal_pos_y=120\r\nhorizontal_width=300\r\nhorizontal_height=60\r\n"
    "vertical_pos_x=50\r\nvertical_pos_y=500\r\nvertical_width=200\r\nvertical_height=80\r\n";

TEST_F(Placement, LandscapeRectangleLookDragAndTheForegroundLeftAlone) {
  VirtualDesktop desktop(L"VeltraLandscape", 1280, 800);
  ASSERT_TRUE(desktop.ok());
  Sandbox box(L"placement-landscape");
  box.set_desktop(desktop.name());
  box.WriteDevices({TouchScreen(kId)});
  WriteBitmap(box.File(L"portrait.bmp"));
  box.WriteSettings(std::string(kRectangles) + "[wallpaper]\r\nvertical=" + Narrow(box.File(L"portrait.bmp")) +
                    "\r\nvertical_enable=1\r\nhorizonal_enable=0\r\n");
  const std::wstring wallpaper_before = Wallpaper();

  desktop.Run([&] {
    RunningVeltra veltra(box);
    ASSERT_NE(veltra.window(), nullptr);
    const HWND window = veltra.window();
    ASSERT_TRUE(WaitUntil([&] { return Placed(window, 100, 120, 300, 60) && !veltra.Text().empty(); }));
    EXPECT_EQ(Alpha(window), 216);
    EXPECT_EQ(Wallpaper(), wallpaper_before);  // the landscape side is off
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The colours of each state, from the screen: background inside the
    // border, and text pixels.
    WaitUntil([] { return false; }, 300ms);
    Shot enabled(window);
    EXPECT_EQ(enabled.At(4, 4), 0x0080FFu);
    EXPECT_GT(enabled.Count(0xFFFFFF), 20u);
    veltra.Send(protocol::WM_SET_TOUCH_STATE, 0, 0);
    WaitUntil([] { return false; }, 300ms);
    Shot disabled(window);
    EXPECT_EQ(disabled.At(4, 4), 0x004040u);
    EXPECT_GT(disabled.Count(0xC0C0C0), 20u);
    EXPECT_EQ(disabled.Count(0xFFFFFF), 0u);

    // A window of the test's own in front: a click on the status window
    // leaves it there.
    const HWND front = ::CreateWindowExW(0, L"Static", L"front", WS_POPUP | WS_VISIBLE, 600, 400, 100, 50, nullptr,
                                         nullptr, nullptr, nullptr);
    ::SetForegroundWindow(front);
    ASSERT_EQ(::GetForegroundWindow(), front);
    MoveMouse(120, 140);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    WaitUntil([] { return false; }, 300ms);
    EXPECT_EQ(::GetForegroundWindow(), front);

    // Grabbed 20 px into the window and dropped with its left edge 30 px
    // from the work area's: it sticks to the edge; the top is far from any.
    // Under load Wine may replay a stale pointer position from the X server
    // (an earlier spot, the desktop's centre), so a press can land off the
    // grab point: it is made where the click was, after the double-click
    // time so that it cannot switch, and made again until the move loop
    // runs. The moves wait for that loop: one started after the last move
    // would see no motion.
    bool grabbed = false;
    for (int attempt = 0; attempt < 3 && !grabbed; ++attempt) {
      WaitUntil([] { return false; }, std::chrono::milliseconds(::GetDoubleClickTime() + 200));
      MoveMouse(120, 140);
      WaitUntil([] { return false; }, 100ms);
      Mouse(MOUSEEVENTF_LEFTDOWN);
      grabbed = WaitUntil([&] { return InMoveLoop(window); }, 2s);
      if (!grabbed) Mouse(MOUSEEVENTF_LEFTUP);
    }
    ASSERT_TRUE(grabbed);
    for (int step = 1; step <= 10; ++step) {
      MoveMouse(120 - step * 7, 140 + step * 10);
      WaitUntil([] { return false; }, 30ms);
    }
    MoveMouse(50, 240);  // the drop point once more, over any stale position
    WaitUntil([] { return false; }, 100ms);
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] { return Placed(window, 0, 220, 300, 60); }, 3s))
        << WindowRect(window).left << "," << WindowRect(window).top;
    ::DestroyWindow(front);
    veltra.Send(WM_CLOSE);
    ASSERT_TRUE(veltra.WaitForExit());
  });
  EXPECT_EQ(box.Setting(L"position", L"horizontal_pos_x"), L"0");
  EXPECT_EQ(box.Setting(L"position", L"horizontal_pos_y"), L"220");
  EXPECT_EQ(box.Setting(L"position", L"vertical_pos_x"), L"50");
}

TEST_F(Placement, PortraitRectangleThenTheLandscapeOneAndItsWallpaperAfterARotation) {
  VirtualDesktop desktop(L"VeltraPortrait", 800, 1280);
  ASSERT_TRUE(desktop.ok());
  Sandbox box(L"placement-portrait");
  box.set_desktop(desktop.name());
  box.WriteDevices({TouchScreen(kId)});
  WriteBitmap(box.File(L"landscape.bmp"));
  const std::wstring landscape = box.File(L"landscape.bmp");
  box.WriteSettings(std::string(kRectangles) + "[wallpaper]\r\nhorizonal=" + Narrow(landscape) +
                    "\r\nhorizonal_enable=1\r\nhorizonal_style=2\r\nvertical_enable=0\r\n");
  const std::wstring wallpaper_before = Wallpaper();

  desktop.Run([&] {
    RunningVeltra veltra(box);
    ASSERT_NE(veltra.window(), nullptr);
    const HWND window = veltra.window();
    ASSERT_TRUE(WaitUntil([&] { return Placed(window, 50, 500, 200, 80); }));
    EXPECT_EQ(Wallpaper(), wallpaper_before);  // the portrait side is off

    ASSERT_TRUE(VirtualDesktop::ChangeMode(1280, 800));
    EXPECT_TRUE(WaitUntil([&] { return Placed(window, 100, 120, 300, 60); }, 5s));
    EXPECT_TRUE(WaitUntil([&] { return Wallpaper() == landscape; }, 5s)) << Wallpaper();
    wchar_t style[8] = {};
    DWORD size = sizeof(style);
    ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"WallpaperStyle", RRF_RT_REG_SZ, nullptr, style, &size);
    EXPECT_STREQ(style, L"2");
    veltra.Send(WM_CLOSE);
    ASSERT_TRUE(veltra.WaitForExit());
  });
}

// Move to Center: the window's size centred in the work area, halves
// truncated, unless the position is fixed or the window is off; the window
// mode is turned on in any case. A hidden window stays hidden through a
// move.
TEST_F(Placement, MoveToCenterFollowsTheFixedAndWindowEnableRules) {
  struct Case {
    const char* settings;
    bool moves;
  };
  const Case cases[] = {
      {"[status]\r\nwindow_status=0\r\n", true},
      {"[status]\r\nfixed_pos=1\r\n", false},
      {"[status]\r\nwindow_enable=0\r\n", false},
  };
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    // A desktop of each case's own: once the last program on a desktop has
    // ended, Wine may close it, however long the test keeps a handle (the
    // next case then cannot enter it: error 2, seen under load).
    VirtualDesktop desktop(L"VeltraCenter" + std::to_wstring(++round), 1280, 800);
    ASSERT_TRUE(desktop.ok());
    Sandbox box(L"placement-center");
    box.set_desktop(desktop.name());
    box.WriteDevices({TouchScreen(kId)});
    box.WriteSettings(std::string(kRectangles) + c.settings);
    desktop.Run([&] {
      RunningVeltra veltra(box);
      ASSERT_NE(veltra.window(), nullptr);
      const HWND window = veltra.window();
      ASSERT_TRUE(WaitUntil([&] { return Placed(window, 100, 120, 300, 60); }));
      const bool hidden_at_start = !veltra.Visible();
      if (hidden_at_start) {
        veltra.Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));  // lays the window out again
        EXPECT_FALSE(veltra.Visible());
      }
      veltra.Send(WM_COMMAND, ID_MOVE_TO_CENTER);
      // The virtual desktop's work area is the whole 1280 x 800 screen.
      const int x = (1280 - 300) / 2;
      const int y = (800 - 60) / 2;
      if (c.moves) {
        EXPECT_TRUE(WaitUntil([&] { return Placed(window, x, y, 300, 60); }, 3s))
            << "at " << WindowRect(window).left << "," << WindowRect(window).top << " for " << x << "," << y;
        EXPECT_TRUE(veltra.Visible());
      } else {
        WaitUntil([] { return false; }, 300ms);
        EXPECT_TRUE(Placed(window, 100, 120, 300, 60));
      }
      veltra.Send(WM_CLOSE);
      ASSERT_TRUE(veltra.WaitForExit());
      EXPECT_EQ(box.Setting(L"status", L"window_status"), L"1");
      EXPECT_EQ(box.Setting(L"position", L"horizontal_pos_x"), c.moves ? std::to_wstring(x) : L"100");
    });
  }
}

}  // namespace
}  // namespace veltra::e2e
