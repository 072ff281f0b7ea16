# Sarnel's editor: the idle and refresh cost and the waveform drawing.
# Included from bench/CMakeLists.txt.
if(TARGET sarnel_editor)
  add_executable(sampler_editor_bench ${CMAKE_CURRENT_LIST_DIR}/sampler_editor_bench.cpp)
  target_link_libraries(sampler_editor_bench PRIVATE sarnel_editor vornhalt_host benchmark::benchmark)
endif()
