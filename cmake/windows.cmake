# Windows build: the production programs in dist/, the same programs over the
# simulated device installer in sim/, and the tests that run under Wine. One
# file per role: the libraries (one per layer), the programs, the tests and
# the benchmarks.
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

include(cmake/windows-libraries.cmake)
include(cmake/windows-programs.cmake)
include(cmake/hook.cmake)
include(cmake/windows-tests.cmake)
include(cmake/windows-benchmarks.cmake)
