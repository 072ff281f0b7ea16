# libFuzzer targets of Sarnel's file readers (WAV samples, tuning and scale
# files). The readers are compiled into the fuzzers with instrumentation
# (FuzzObjects.cmake), so the fuzzer sees their branches. Run them with
# scripts/run-fuzzers.sh.
include(${CMAKE_CURRENT_LIST_DIR}/FuzzObjects.cmake)
vornhalt_fuzz_objects(sarnel_io)
foreach(target fuzz_wav_reader fuzz_tuning_files)
  add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/sampler_io/${target}.cpp)
  target_compile_options(${target} PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_options(${target} PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_libraries(${target} PRIVATE sarnel_io_fuzz sarnel_io)
endforeach()
