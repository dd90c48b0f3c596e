// The status window's arithmetic.
#include "window/placement.h"

#include <gtest/gtest.h>

namespace veltra {
namespace {

// Only the low 8 bits of the setting count; the start-up floor keeps a
// window that a bad value would make invisible at 30 %.
TEST(StatusWindowAlpha, PercentToAlphaWithAndWithoutTheStartupFloor) {
  struct Case {
    std::int32_t transparent;
    int at_startup;
    int after_change;
  };
  const Case cases[] = {
      {85, 216, 216}, {100, 255, 255}, {101, 255, 255}, {255, 255, 255}, {20, 76, 51},
      {30, 76, 76},   {31, 79, 79},    {0, 76, 0},      {-1, 76, 255},   {256 + 85, 216, 216},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StatusWindowAlpha(c.transparent, true), c.at_startup) << c.transparent;
    EXPECT_EQ(StatusWindowAlpha(c.transparent, false), c.after_change) << c.transparent;
  }
}

}  // namespace
}  // namespace veltra
