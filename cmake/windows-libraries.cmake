# The Win32 shell, one library per layer (see scripts/check-layers). The
# platform's services (paths, trace, strings, handles, COM, the peer and
# exit-request checks) serve every program; the window framework on top of
# them alone serves the watcher; the simulated device installer is a
# library of its own that only the simulated program and the tests link.
add_library(veltra_platform STATIC
  src/platform/exit_request.cpp
  src/platform/paths.cpp
  src/platform/peer_window.cpp
  src/platform/private_namespace.cpp
  src/platform/profile_file.cpp
  src/platform/running_processes.cpp
  src/platform/strings.cpp
  src/platform/trace.cpp
  src/platform/worker_thread.cpp
)
target_include_directories(veltra_platform PUBLIC src)
target_link_libraries(veltra_platform PUBLIC veltra_base user32 advapi32 ole32_delay oleaut32_delay)

add_library(veltra_ui STATIC
  src/ui/dialog.cpp
  src/ui/file_icons.cpp
  src/ui/monitor_dpi.cpp
  src/ui/notify_icon.cpp
  src/ui/win_app.cpp
  src/ui/window.cpp
)
target_link_libraries(veltra_ui PUBLIC veltra_platform user32 gdi32 shell32)

add_library(veltra_device STATIC
  src/device/device_api.cpp
  src/device/device_api_real.cpp
  src/device/device_control.cpp
  src/device/device_manager.cpp
  src/device/device_selection_dlg.cpp
  src/device/hid_discovery.cpp
  src/device/os_version.cpp
  src/device/taskbar_refresh.cpp
)
# Only libraries the system protects are imported (see scripts/check-imports):
# the configuration manager's calls come through SETUPAPI.DLL, and HID.DLL
# and NETAPI32.DLL are loaded from the system folder at run time.
target_link_libraries(veltra_device PUBLIC veltra_ui veltra_core setupapi advapi32)
target_link_libraries(veltra_device PUBLIC comctl32)

add_library(veltra_startup STATIC
  src/startup/scheduled_tasks.cpp
  src/startup/task_service.cpp
)
target_link_libraries(veltra_startup PUBLIC veltra_ui veltra_core taskschd)

add_library(veltra_window STATIC
  src/window/key_registrations.cpp
  src/window/layered_window.cpp
  src/window/log_font.cpp
  src/window/messages.cpp
  src/window/panel_switch.cpp
  src/window/status_announcer.cpp
  src/window/status_appearance.cpp
  src/window/status_cleaning.cpp
  src/window/status_follow.cpp
  src/window/status_keys.cpp
  src/window/status_tray.cpp
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
  src/sim/sim_device_answers.cpp
  src/sim/sim_device_api.cpp
  src/sim/sim_device_tree.cpp
)
target_link_libraries(veltra_sim_devices PUBLIC veltra_device)

# The watcher's own sources over the framework; nothing of Veltra.exe.
add_library(veltra_watch STATIC
  src/watch/main_wnd.cpp
  src/watch/tray_icon_app.cpp
  src/watch/watch_step.cpp
)
target_link_libraries(veltra_watch PUBLIC veltra_ui veltra_watch_rules shell32)

# Under the cross compiler the Windows and standard headers take most of
# each file's compile time, and the Windows build is the first step of
# every test run: the layers' libraries and programs compile them once, into
# one precompiled header they share (their flags are the same). The
# portable libraries stay without it: nothing there may lean on a Windows
# header.
target_precompile_headers(veltra_platform PRIVATE
  <windows.h> <algorithm> <cstdint> <optional> <string> <string_view> <utility> <vector>)
foreach(layer veltra_ui veltra_device veltra_startup veltra_window veltra_config veltra_app veltra_sim_devices veltra_watch)
  target_precompile_headers(${layer} REUSE_FROM veltra_platform)
endforeach()
