// The device the selection dialog offers first.
#include "device/device_selection.h"

#include <gtest/gtest.h>

namespace veltra {
namespace {

TEST(InitialSelection, LastTouchScreenByNameThenByFlagOrTheLastWithThePresetPath) {
  const std::wstring touch = L"HID-compliant touch screen";
  const struct {
    DeviceList devices;
    std::wstring preset;
    std::size_t expected;
  } cases[] = {
      // The last of two; the case must match; the description beats the flag.
      {{{L"A", L"USB"}, {L"B", touch + L" 2"}, {L"C", touch}, {L"D", L"hid-compliant touch screen"},
        {L"E", L"HID", true}}, L"", 2},
      {{{L"A", L"HID", true}, {L"B", L"HID 準拠タッチ スクリーン"}, {L"C", L"HID 準拠デバイス"}}, L"", 1},
      {{{L"A", L"HID", true}, {L"B", L"HID", true}, {L"C", L"Keyboard"}}, L"", 1},  // the flag
      {{{L"A", L"Keyboard"}, {L"B", L"Mouse"}}, L"", 0},
      // The last with the preset path, over a touch screen.
      {{{L"P", touch}, {L"P", L"Device"}, {L"T", touch}, {L"P", L"Device"}, {L"Q", L"Device"}}, L"P", 3},
      // A preset path equal only without regard to case: entry 0, not the touch screen.
      {{{L"A", L"Keyboard"}, {L"HID\\X", touch}}, L"hid\\x", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(InitialSelection(c.devices, c.preset), c.expected) << c.expected;
}

}  // namespace
}  // namespace veltra
