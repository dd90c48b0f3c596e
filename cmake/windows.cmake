# Windows build: the production programs in dist/, the same programs over the
# simulated device installer in sim/, and the tests that run under Wine.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0602)
add_link_options(-static -municode)

# COM, OLE automation and the common dialogs serve the scheduled tasks, the
# wallpaper and the configuration dialog's choosers, none of which the start
# needs: their libraries (with the system libraries they pull in, about
# 5 MB of working set) are loaded on first use instead of at start. The
# import libraries for that are made from the short lists in
# cmake/delay-load/, which name every function the programs take from them;
# a function missing there fails the link. The loader's helper takes them
# from the system folder only (see RestrictLibrarySearch).
set(delay_load_libraries)
foreach(library ole32 oleaut32 comdlg32)
  set(archive "${CMAKE_BINARY_DIR}/lib/lib${library}_delay.a")
  add_custom_command(OUTPUT "${archive}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/lib"
    COMMAND "${CMAKE_DLLTOOL}" --input-def "${CMAKE_SOURCE_DIR}/cmake/delay-load/${library}.def"
            --output-delaylib "${archive}"
    DEPENDS "${CMAKE_SOURCE_DIR}/cmake/delay-load/${library}.def"
    VERBATIM)
  add_custom_target(${library}_delay_import DEPENDS "${archive}")
  add_library(${library}_delay STATIC IMPORTED)
  set_target_properties(${library}_delay PROPERTIES IMPORTED_LOCATION "${archive}")
  add_dependencies(${library}_delay ${library}_delay_import)
endforeach()

# The Win32 shell, one library per layer (see scripts/check-layers): the
# framework alone serves the watcher; the simulated device installer is a
# library of its own that only the simulated program and the tests link.
add_library(veltra_ui STATIC
  src/ui/dialog.cpp
  src/ui/exit_request.cpp
  src/ui/file_icons.cpp
  src/ui/notify_icon.cpp
  src/ui/paths.cpp
  src/ui/peer_window.cpp
  src/ui/private_namespace.cpp
  src/ui/running_processes.cpp
  src/ui/strings.cpp
  src/ui/trace.cpp
  src/ui/win_app.cpp
  src/ui/window.cpp
)
target_include_directories(veltra_ui PUBLIC src)
target_link_libraries(veltra_ui PUBLIC veltra_base user32 gdi32 shell32 advapi32 ole32_delay oleaut32_delay)

add_library(veltra_device STATIC
  src/device/device_api.cpp
  src/device/device_api_real.cpp
  src/device/device_control.cpp
  src/device/device_manager.cpp
  src/device/device_selection_dlg.cpp
  src/device/hid_discovery.cpp
  src/device/os_version.cpp
  src/device/system_info.cpp
  src/device/taskbar_refresh.cpp
)
# Only libraries the system protects are imported (see scripts/check-imports):
# the configuration manager's calls come through SETUPAPI.DLL, and HID.DLL
# and NETAPI32.DLL are loaded from the system folder at run time.
target_link_libraries(veltra_device PUBLIC veltra_ui veltra_core setupapi advapi32)
target_link_libraries(veltra_device PUBLIC comctl32)

add_library(veltra_startup STATIC
  src/startup/scheduled_tasks.cpp
)
target_link_libraries(veltra_startup PUBLIC veltra_ui veltra_core taskschd)

add_library(veltra_window STATIC
  src/window/key_registrations.cpp
  src/window/layered_window.cpp
  src/window/log_font.cpp
  src/window/messages.cpp
  src/window/status_look.cpp
  src/window/status_announcer.cpp
  src/window/status_placement.cpp
  src/window/status_switch.cpp
  src/window/status_tray.cpp
  src/window/status_triggers.cpp
  src/window/suspend_resume.cpp
  src/window/tray_icon.cpp
  src/window/veltra_dlg.cpp
  src/window/wallpaper.cpp
)
# VeltraHook.dll is loaded at run time from the program's own folder (see
# WinKeyHook), never imported: a missing one would be looked for elsewhere.
# It is built before anything that runs the status window.
target_link_libraries(veltra_window PUBLIC veltra_device shell32 uuid)
add_dependencies(veltra_window veltra_hook)

add_library(veltra_config STATIC
  src/config/config_choosers.cpp
  src/config/config_dlg.cpp
  src/config/config_keys.cpp
  src/config/config_system.cpp
  src/config/icon_dialog.cpp
)
target_link_libraries(veltra_config PUBLIC veltra_window veltra_startup comdlg32_delay comctl32)

add_library(veltra_app STATIC
  src/app/ini_store.cpp
  src/app/installer_options.cpp
  src/app/veltra_app.cpp
)
target_link_libraries(veltra_app PUBLIC veltra_config veltra_window veltra_startup)

add_library(veltra_sim_devices STATIC
  src/sim/sim_device_api.cpp
  src/sim/sim_device_tree.cpp
)
target_link_libraries(veltra_sim_devices PUBLIC veltra_device)

set(veltra_resources src/resources/Veltra.rc)
set_source_files_properties(${veltra_resources} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/Veltra.manifest;${CMAKE_SOURCE_DIR}/src/resources/strings.rc;${CMAKE_SOURCE_DIR}/src/resources/resource.h;${CMAKE_SOURCE_DIR}/src/resources/version.h")
set_property(SOURCE ${veltra_resources} APPEND PROPERTY OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/device_select.rc")
set_property(SOURCE ${veltra_resources} APPEND PROPERTY OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/icon_dialog.rc")
set_property(SOURCE ${veltra_resources} APPEND PROPERTY OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/resources/config_dialog.rc;${CMAKE_SOURCE_DIR}/src/resources/config_tooltips.rc")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src/resources -DVELTRA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} -DVELTRA_VERSION_MINOR=${PROJECT_VERSION_MINOR} -DVELTRA_VERSION_PATCH=${PROJECT_VERSION_PATCH}")
enable_language(RC)

# One program per device-installer table: the production one picks the
# platform's table and posture and never crashes on request; the simulated
# one takes all three from src/sim.
function(veltra_program flavour)
  add_executable(veltra_${flavour} WIN32 src/app/main.cpp ${ARGN} ${veltra_resources})
  # Unreferenced sections go: one GUID of the system's interface list (the
  # wallpaper's) would otherwise bring in the whole list, some 40 KB.
  target_link_options(veltra_${flavour} PRIVATE -s -Wl,--gc-sections)
  set_target_properties(veltra_${flavour} PROPERTIES
    OUTPUT_NAME Veltra
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/${flavour}")
endfunction()
# The list of known touch panels is shipped beside each program.
foreach(flavour dist sim)
  configure_file(src/resources/known_device_list.txt "${CMAKE_BINARY_DIR}/${flavour}/known_device_list.txt" COPYONLY)
endforeach()

veltra_program(dist src/device/default_device_api.cpp src/device/default_posture.cpp src/window/simulated_crash.cpp)
target_link_libraries(veltra_dist PRIVATE veltra_app)
veltra_program(sim src/sim/default_device_api.cpp src/sim/default_posture.cpp src/sim/simulated_crash.cpp)
target_link_libraries(veltra_sim PRIVATE veltra_app veltra_sim_devices)

# Veltrawatch.exe: the framework, the protocol header and its own sources;
# nothing of Veltra.exe. One build serves both folders, with its two
# (commented, empty) program lists beside it.
add_library(veltra_watch STATIC
  src/watch/main_wnd.cpp
  src/watch/tray_icon_app.cpp
  src/watch/watch_step.cpp
)
target_link_libraries(veltra_watch PUBLIC veltra_ui veltra_watch_rules shell32)
set(watch_resources src/watch/Veltrawatch.rc)
set_source_files_properties(${watch_resources} PROPERTIES
  COMPILE_FLAGS "-I${CMAKE_SOURCE_DIR}/src/watch"
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/watch/Veltrawatch.manifest;${CMAKE_SOURCE_DIR}/src/watch/watch_resource.h;${CMAKE_SOURCE_DIR}/src/resources/version.h")
add_executable(veltrawatch WIN32 src/watch/watch_main.cpp ${watch_resources})
target_link_libraries(veltrawatch PRIVATE veltra_watch)
target_link_options(veltrawatch PRIVATE -s -Wl,--gc-sections)
set_target_properties(veltrawatch PROPERTIES
  OUTPUT_NAME Veltrawatch
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/dist")
add_custom_command(TARGET veltrawatch POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/sim"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:veltrawatch>" "${CMAKE_BINARY_DIR}/sim/")
foreach(flavour dist sim)
  foreach(list enable_proc_list.txt disable_proc_list.txt)
    configure_file(src/watch/${list} "${CMAKE_BINARY_DIR}/${flavour}/${list}" COPYONLY)
  endforeach()
endforeach()

# VeltraPresetCheck.dll: the package's early check of its properties, run
# by the installer from the package's Binary table (never installed): the
# portable command line and msi.dll, which the installer has loaded.
add_library(veltra_preset_check SHARED src/app/preset_check.cpp)
target_link_libraries(veltra_preset_check PRIVATE veltra_core msi)
target_link_options(veltra_preset_check PRIVATE -s -Wl,--gc-sections)
set_target_properties(veltra_preset_check PROPERTIES
  OUTPUT_NAME VeltraPresetCheck
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/dist"
  ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib")
add_custom_command(TARGET veltra_preset_check POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/sim"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:veltra_preset_check>" "${CMAKE_BINARY_DIR}/sim/")

# GoogleTest from the sources Debian ships, built with the cross compiler.
set(gtest_root /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${gtest_root}/src/gtest-all.cc)
target_include_directories(gtest_win SYSTEM PUBLIC ${gtest_root}/include PRIVATE ${gtest_root})
target_compile_options(gtest_win PRIVATE -w)

enable_testing()
include(GoogleTest)
include(cmake/hook.cmake)

# In-process tests of the Win32 shell.
add_executable(veltra_windows_tests
  src/sim/default_device_api.cpp
  src/sim/default_posture.cpp
  src/window/simulated_crash.cpp
  tests/windows/com_test.cpp
  tests/windows/config_dlg_test.cpp
  tests/windows/config_template_test.cpp
  tests/windows/device_control_test.cpp
  tests/windows/dialog_loop_test.cpp
  tests/windows/hid_discovery_test.cpp
  tests/windows/icon_dialog_test.cpp
  tests/windows/ini_store_test.cpp
  tests/windows/peer_window_test.cpp
  tests/windows/init_dlg_test.cpp
  tests/windows/sim_device_api_test.cpp
  tests/windows/status_window_test.cpp
  tests/windows/strings_test.cpp
  tests/windows/taskbar_refresh_test.cpp
  tests/windows/tray_icon_test.cpp
  tests/windows/wallpaper_test.cpp
  ${veltra_resources}
  tests/windows/test_resources.rc
  tests/windows/test_main.cpp
)
target_link_libraries(veltra_windows_tests PRIVATE veltra_app veltra_sim_devices gtest_win taskschd oleacc)
# The template test compares the dialog with its resource script.
target_compile_definitions(veltra_windows_tests PRIVATE VELTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(veltra_windows_tests TEST_PREFIX "windows." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120)

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
  tests/windows/test_main.cpp
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
  PROPERTIES TIMEOUT 120)

# The walk that ends the simulated program at every step of its flows: each
# of its tests runs a flow again for every step, so it has more time.
add_executable(veltra_ending_tests tests/e2e/e2e_support.cpp tests/e2e/ending_e2e_test.cpp tests/windows/test_main.cpp)
target_link_libraries(veltra_ending_tests PRIVATE veltra_core gtest_win shell32)
add_dependencies(veltra_ending_tests veltra_sim)
gtest_discover_tests(veltra_ending_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 480)

# Benchmark of the unchanged-state WM_SET_TOUCH_STATE against a bare window;
# run by scripts/bench, not by the tests.
add_executable(veltra_bench_set_touch_state tests/bench/set_touch_state_bench.cpp)
target_link_libraries(veltra_bench_set_touch_state PRIVATE veltra_ui)
add_dependencies(veltra_bench_set_touch_state veltra_sim)

# Benchmark of one watcher tick against the bare platform calls it makes;
# run by scripts/bench.
add_executable(veltra_bench_watch_step tests/bench/watch_step_bench.cpp)
target_link_libraries(veltra_bench_watch_step PRIVATE veltra_watch)

# The exit's save into a copy against every key written straight into the
# file; run by scripts/bench.
add_executable(veltra_bench_settings_save tests/bench/settings_save_bench.cpp src/window/simulated_crash.cpp)
target_link_libraries(veltra_bench_settings_save PRIVATE veltra_app)

# Start-up benchmark: the simulated Veltra.exe against a bare window program
# and against a bare notification-area program (the same source with one
# icon and the common controls of Veltra's manifest), from the start to a
# visible window, the working set, and the end; run by scripts/bench.
add_executable(veltra_bench_bare_window WIN32 tests/bench/bare_window.cpp)
add_executable(veltra_bench_bare_notify WIN32 tests/bench/bare_window.cpp tests/bench/bare_notify.rc)
target_compile_definitions(veltra_bench_bare_notify PRIVATE VELTRA_BENCH_NOTIFY_ICON)
target_link_libraries(veltra_bench_bare_notify PRIVATE comctl32 shell32)
set_source_files_properties(tests/bench/bare_notify.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/Veltra.manifest")
add_executable(veltra_bench_startup tests/bench/startup_bench.cpp)
target_link_libraries(veltra_bench_startup PRIVATE veltra_ui psapi)
add_dependencies(veltra_bench_startup veltra_sim veltra_bench_bare_window veltra_bench_bare_notify)
