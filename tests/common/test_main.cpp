// GoogleTest entry point for the programs built with -municode.
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // An exception escaping a test would end the run without a word.
  std::set_terminate([] {
    if (auto error = std::current_exception()) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "uncaught exception: %s\n", e.what());
      } catch (...) {
        std::fprintf(stderr, "uncaught exception\n");
      }
    }
    std::fflush(stderr);
    std::_Exit(3);
  });
  return RUN_ALL_TESTS();
}
