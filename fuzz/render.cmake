# libFuzzer target of the renderer's MIDI file reader, compiled into the
# fuzzer itself so that every branch is instrumented. Seeds: demo/demo.mid.
set(RENDER_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
add_executable(fuzz_midi_file
    ${CMAKE_CURRENT_LIST_DIR}/render/fuzz_midi_file.cpp
    ${PROJECT_SOURCE_DIR}/host/MidiFile.cpp)
target_include_directories(fuzz_midi_file PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(fuzz_midi_file PRIVATE ${RENDER_FUZZ_FLAGS})
target_link_options(fuzz_midi_file PRIVATE ${RENDER_FUZZ_FLAGS})
