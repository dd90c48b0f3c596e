# Native build: the portable core's unit tests, with sanitizers.
if(VELTRA_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(veltra_core PUBLIC ${sanitize_flags})
  target_link_options(veltra_core PUBLIC ${sanitize_flags})
  target_compile_options(veltra_base PRIVATE ${sanitize_flags})
  target_compile_options(veltra_watch_rules PRIVATE ${sanitize_flags})
endif()

find_package(GTest REQUIRED)
enable_testing()
include(GoogleTest)

add_executable(veltra_native_tests
  tests/native/cleaning_run_test.cpp
  tests/native/command_line_test.cpp
  tests/native/config_rules_test.cpp
  tests/native/config_controls_test.cpp
  tests/native/device_selection_test.cpp
  tests/native/icon_dialog_rules_test.cpp
  tests/native/key_triggers_test.cpp
  tests/native/known_devices_test.cpp
  tests/native/placement_test.cpp
  tests/native/panel_screen_rules_test.cpp
  tests/native/pen_rules_test.cpp
  tests/native/posture_rules_test.cpp
  tests/native/protocol_test.cpp
  tests/native/profile_section_test.cpp
  tests/native/program_paths_test.cpp
  tests/native/settings_test.cpp
  tests/native/task_commands_test.cpp
  tests/native/system_info_test.cpp
  tests/native/text_encoding_test.cpp
  tests/native/touch_switch_test.cpp
  tests/native/tray_click_test.cpp
  tests/native/watch_rules_test.cpp
  tests/native/winkey_filter_test.cpp
)
target_link_libraries(veltra_native_tests PRIVATE veltra_core veltra_watch_rules GTest::gtest_main)
# Tests that compare the portable tables with the resource scripts read them
# from the source tree.
target_compile_definitions(veltra_native_tests PRIVATE VELTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# GoogleTest's header, with the sanitizers, takes most of each test file's
# compile time: it is compiled once. The build runs beside the Wine tests,
# whose processor time it takes.
target_precompile_headers(veltra_native_tests PRIVATE <gtest/gtest.h> <string> <vector>)
gtest_discover_tests(veltra_native_tests TEST_PREFIX "native.")

# The Windows-key filter's benchmark: not run by the tests; built optimised
# and without the sanitizers, which would measure themselves, so it compiles
# the filter itself instead of linking the sanitized core.
add_executable(veltra_bench_winkey_filter tests/bench/winkey_filter_bench.cpp src/hook/winkey_filter.cpp)
target_include_directories(veltra_bench_winkey_filter PRIVATE src)
target_compile_options(veltra_bench_winkey_filter PRIVATE -O2)
