# The shipped programs: Veltra.exe (production and simulated), Veltrawatch.exe
# and the installer's check of its properties.

# The resource scripts include each other, the headers, the manifest and the
# icons: a change of any file in their folder builds them again.
set(veltra_resources src/resources/Veltra.rc)
file(GLOB veltra_resource_inputs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/*")
set_source_files_properties(${veltra_resources} PROPERTIES OBJECT_DEPENDS "${veltra_resource_inputs}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src/resources -DVELTRA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} -DVELTRA_VERSION_MINOR=${PROJECT_VERSION_MINOR} -DVELTRA_VERSION_PATCH=${PROJECT_VERSION_PATCH}")
enable_language(RC)

# One program per device-installer table: the production one picks the
# platform's table and posture and never crashes on request; the simulated
# one takes all three from src/sim.
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/maps")
function(veltra_program flavour)
  add_executable(veltra_${flavour} WIN32 src/app/main.cpp src/platform/quiet_terminate.cpp ${ARGN} ${veltra_resources})
  # Unreferenced sections go: one GUID of the system's interface list (the
  # wallpaper's) would otherwise bring in the whole list, some 40 KB. The
  # link map in maps/ names, for each library member linked, the reference
  # that pulled it in.
  target_link_options(veltra_${flavour} PRIVATE -s -Wl,--gc-sections -Wl,-Map=${CMAKE_BINARY_DIR}/maps/Veltra-${flavour}.map)
  target_precompile_headers(veltra_${flavour} REUSE_FROM veltra_platform)
  set_target_properties(veltra_${flavour} PROPERTIES
    OUTPUT_NAME Veltra
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/${flavour}")
endfunction()
# The list of known touch panels is shipped beside each program.
foreach(flavour dist sim)
  configure_file(src/resources/known_device_list.txt "${CMAKE_BINARY_DIR}/${flavour}/known_device_list.txt" COPYONLY)
endforeach()

veltra_program(dist src/dist/default_device_api.cpp src/dist/default_panel_screen.cpp src/dist/default_pen_presence.cpp src/dist/default_posture.cpp src/dist/simulated_crash.cpp)
target_link_libraries(veltra_dist PRIVATE veltra_app)
veltra_program(sim src/sim/default_device_api.cpp src/sim/default_panel_screen.cpp src/sim/default_pen_presence.cpp src/sim/default_posture.cpp src/sim/simulated_crash.cpp)
target_link_libraries(veltra_sim PRIVATE veltra_app veltra_sim_devices)

# Veltrawatch.exe: the framework, the protocol header and its own sources;
# nothing of Veltra.exe. One build serves both folders, with its two
# (commented, empty) program lists beside it.
set(watch_resources src/watch/Veltrawatch.rc)
file(GLOB watch_resource_inputs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/watch/*.rc" "${CMAKE_SOURCE_DIR}/src/watch/*.h"
     "${CMAKE_SOURCE_DIR}/src/watch/*.ico" "${CMAKE_SOURCE_DIR}/src/watch/*.manifest")
set_source_files_properties(${watch_resources} PROPERTIES
  COMPILE_FLAGS "-I${CMAKE_SOURCE_DIR}/src/watch"
  OBJECT_DEPENDS "${watch_resource_inputs};${CMAKE_SOURCE_DIR}/src/resources/version.h")
add_executable(veltrawatch WIN32 src/watch/watch_main.cpp src/platform/quiet_terminate.cpp ${watch_resources})
target_link_libraries(veltrawatch PRIVATE veltra_watch)
target_precompile_headers(veltrawatch REUSE_FROM veltra_platform)
target_link_options(veltrawatch PRIVATE -s -Wl,--gc-sections -Wl,-Map=${CMAKE_BINARY_DIR}/maps/Veltrawatch.map)
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
