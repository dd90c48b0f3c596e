# The benchmarks scripts/bench runs (never the tests): each prints ratios
# measured side by side in one run.

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
add_executable(veltra_bench_settings_save tests/bench/settings_save_bench.cpp src/dist/simulated_crash.cpp)
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
