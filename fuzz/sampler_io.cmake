# libFuzzer targets of Sarnel's file readers (WAV samples, tuning and scale
# files). The readers themselves are instrumented too, so the fuzzer sees
# their branches. Run them with scripts/run-fuzzers.sh.
set(SARNEL_IO_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_compile_options(sarnel_io PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
foreach(target fuzz_wav_reader fuzz_tuning_files)
  add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/sampler_io/${target}.cpp)
  target_compile_options(${target} PRIVATE ${SARNEL_IO_FUZZ_FLAGS})
  target_link_options(${target} PRIVATE ${SARNEL_IO_FUZZ_FLAGS})
  target_link_libraries(${target} PRIVATE sarnel_io)
endforeach()
