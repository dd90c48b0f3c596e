# VeltraHook.dll, the session-wide keyboard hook. Its filter
# (src/hook/winkey_filter.cpp) is portable and is also tested natively, as
# part of the portable core; the library itself links nothing of the rest
# of Veltra.
add_library(veltra_hook SHARED
  src/hook/veltra_hook.cpp
  src/hook/winkey_filter.cpp
  src/hook/VeltraHook.def
  src/hook/VeltraHook.rc
)
target_include_directories(veltra_hook PUBLIC src)
set_source_files_properties(src/hook/VeltraHook.rc PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/version.h")
target_compile_definitions(veltra_hook PRIVATE VELTRA_HOOK_BUILD)
# Loaded by the main program for its whole life: kept small, with no
# exception or type-information machinery it has no use for.
target_compile_options(veltra_hook PRIVATE -Os -fno-exceptions -fno-rtti)
target_link_options(veltra_hook PRIVATE -s)
target_link_libraries(veltra_hook PRIVATE user32)
set_target_properties(veltra_hook PROPERTIES
  OUTPUT_NAME VeltraHook
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/dist"
  ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib")
# The same library serves the simulated programs in sim/ and the tests
# in the build folder, which load it from beside themselves.
add_custom_command(TARGET veltra_hook POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/sim"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:veltra_hook>" "${CMAKE_BINARY_DIR}/sim/"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:veltra_hook>" "${CMAKE_BINARY_DIR}/")
