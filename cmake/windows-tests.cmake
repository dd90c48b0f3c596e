# The tests that run under Wine: in process, end to end, and the walk that
# ends the program at every step; with the helper programs they drive.

# GoogleTest from the sources Debian ships, built with the cross compiler.
set(gtest_root /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${gtest_root}/src/gtest-all.cc)
target_include_directories(gtest_win SYSTEM PUBLIC ${gtest_root}/include PRIVATE ${gtest_root})
target_compile_options(gtest_win PRIVATE -w)

enable_testing()
include(GoogleTest)

# scripts/test runs the Wine tests in shards at once: each test takes one
# "wine" resource, a prefix with its own Wine server and display (the
# emulator, scripts/wine-run, picks them from what CTest hands over), so a
# shard runs one test at a time, as every test was written for. Without a
# resource file CTest ignores this and all tests share one prefix.
set(wine_shard "wine:1")

# The hook library's own tests.
add_executable(veltra_hook_tests tests/windows/hook_test.cpp tests/common/test_main.cpp)
target_link_libraries(veltra_hook_tests PRIVATE veltra_hook gtest_win user32)
gtest_discover_tests(veltra_hook_tests TEST_PREFIX "hook." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 RESOURCE_GROUPS ${wine_shard})

# In-process tests of the Win32 shell.
add_executable(veltra_windows_tests
  src/sim/default_device_api.cpp
  src/sim/default_panel_screen.cpp
  src/sim/default_pen_presence.cpp
  src/sim/default_posture.cpp
  src/dist/simulated_crash.cpp
  tests/windows/com_test.cpp
  tests/windows/config_dlg_test.cpp
  tests/windows/config_template_test.cpp
  tests/windows/device_control_test.cpp
  tests/windows/dialog_test.cpp
  tests/windows/hid_discovery_test.cpp
  tests/windows/icon_dialog_test.cpp
  tests/windows/ini_store_test.cpp
  tests/windows/peer_window_test.cpp
  tests/windows/device_selection_dlg_test.cpp
  tests/windows/sim_device_api_test.cpp
  tests/windows/status_window_test.cpp
  tests/windows/strings_test.cpp
  tests/windows/taskbar_refresh_test.cpp
  tests/windows/tray_icon_test.cpp
  tests/windows/wallpaper_test.cpp
  ${veltra_resources}
  tests/windows/test_resources.rc
  tests/common/test_main.cpp
)
target_link_libraries(veltra_windows_tests PRIVATE veltra_app veltra_sim_devices gtest_win taskschd oleacc)
# The template test compares the dialog with its resource script (a
# definition of that file alone, so the program's flags stay those of the
# other test programs, whose precompiled header it shares).
set_source_files_properties(tests/windows/config_template_test.cpp PROPERTIES
  COMPILE_DEFINITIONS VELTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# They keep the simulated device tree beside their program: in shards,
# each shard runs a copy of the program of its own (scripts/wine-run).
# They are many short tests, so they start early (a CTest cost below the
# walks'), beside the end-to-end tests, rather than after them.
gtest_discover_tests(veltra_windows_tests TEST_PREFIX "windows." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 RESOURCE_GROUPS ${wine_shard} COST 500)

# End-to-end tests: real processes of the simulated programs, driven from
# outside.
add_executable(veltra_e2e_tests
  tests/e2e/e2e_support.cpp
  tests/e2e/startup_e2e_test.cpp
  tests/e2e/status_window_e2e_test.cpp
  tests/e2e/tray_e2e_test.cpp
  tests/e2e/device_selection_e2e_test.cpp
  tests/e2e/keys_e2e_test.cpp
  tests/e2e/placement_e2e_test.cpp
  tests/e2e/tasks_e2e_test.cpp
  tests/e2e/config_e2e_test.cpp
  tests/e2e/watch_e2e_test.cpp
  tests/e2e/removal_e2e_test.cpp
  tests/common/test_main.cpp
)
add_executable(fake_mmc tests/e2e/fake_mmc.cpp)
add_executable(fake_app WIN32 tests/e2e/fake_app.cpp)
add_executable(post_command tests/e2e/post_command.cpp)
target_include_directories(post_command PRIVATE src)
target_link_libraries(veltra_e2e_tests PRIVATE veltra_core gtest_win shell32 ole32 oleaut32 taskschd)
# Planted beside the simulated program under system libraries' names.
add_library(planted_dll SHARED tests/e2e/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
target_include_directories(planted_dll PRIVATE src)
add_dependencies(veltra_e2e_tests veltra_sim veltrawatch fake_mmc fake_app planted_dll)
gtest_discover_tests(veltra_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 RESOURCE_GROUPS ${wine_shard})

# The walk that ends the simulated program at every step of its flows: each
# of its tests runs a flow again for every step, so it has more time, and
# starts first (a high cost), so that it never ends a sharded run alone.
add_executable(veltra_ending_tests tests/e2e/e2e_support.cpp tests/e2e/ending_e2e_test.cpp tests/common/test_main.cpp)
target_link_libraries(veltra_ending_tests PRIVATE veltra_core gtest_win shell32)
add_dependencies(veltra_ending_tests veltra_sim)
gtest_discover_tests(veltra_ending_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 480 COST 1000 RESOURCE_GROUPS ${wine_shard})

# GoogleTest with the Windows and standard headers takes most of each test
# file's compile time: the test programs compile it once, into one
# precompiled header they share.
target_precompile_headers(veltra_e2e_tests PRIVATE
  <windows.h> <gtest/gtest.h> <algorithm> <filesystem> <optional> <string> <vector>)
foreach(tests veltra_windows_tests veltra_ending_tests veltra_hook_tests)
  target_precompile_headers(${tests} REUSE_FROM veltra_e2e_tests)
endforeach()
