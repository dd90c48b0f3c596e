// The owner check against this test program's own window: a program started
// through an 8.3 short path must still know its own window.
#include "platform/peer_window.h"

#include <gtest/gtest.h>

#include <string>

#include "../common/stand_in_window.h"
#include "platform/paths.h"

namespace {

TEST(PeerWindow, TheOwnerIsKnownByItsLongOrShortPathAndNoOtherFile) {
  const HWND window = veltra::testing::CreateStandInWindow(L"VeltraPeerTest", ::DefWindowProcW);
  ASSERT_NE(window, nullptr);
  const std::wstring self = veltra::ModuleFileName(nullptr);
  std::wstring short_path(MAX_PATH, L'\0');
  short_path.resize(::GetShortPathNameW(self.c_str(), short_path.data(), MAX_PATH));
  ASSERT_FALSE(short_path.empty() || veltra::SamePath(short_path, self)) << "no short form of this program's path";
  EXPECT_TRUE(veltra::WindowBelongsTo(window, self));
  EXPECT_TRUE(veltra::WindowBelongsTo(window, short_path));
  EXPECT_FALSE(veltra::WindowBelongsTo(window, self + L".other"));
  ::DestroyWindow(window);
}

}  // namespace
