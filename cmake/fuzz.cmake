# libFuzzer targets over the portable parsers. scripts/test runs each for a
# bounded time.
set(fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
foreach(target command_line known_devices settings)
  add_executable(fuzz_${target} tests/fuzz/fuzz_${target}.cpp)
  target_link_libraries(fuzz_${target} PRIVATE veltra_core)
  target_compile_options(fuzz_${target} PRIVATE ${fuzz_flags})
  target_link_options(fuzz_${target} PRIVATE ${fuzz_flags})
endforeach()
target_compile_options(veltra_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
target_compile_options(veltra_base PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
