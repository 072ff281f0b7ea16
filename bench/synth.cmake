# Marrowglint's render loop. Included from bench/CMakeLists.txt.
if(TARGET marrowglint_engine)
  add_executable(synth_bench ${CMAKE_CURRENT_LIST_DIR}/synth_bench.cpp)
  target_link_libraries(synth_bench PRIVATE marrowglint_engine benchmark::benchmark)
  # A plain program for instruction counts under callgrind.
  add_executable(synth_render_probe ${CMAKE_CURRENT_LIST_DIR}/synth_render_probe.cpp)
  target_link_libraries(synth_render_probe PRIVATE marrowglint_engine)
endif()

# Marrowglint's editor left open: what one 20 ms period of host idle and
# window refresh costs, and what it repaints.
if(TARGET marrowglint_editor)
  add_executable(synth_editor_bench ${CMAKE_CURRENT_LIST_DIR}/synth_editor_bench.cpp)
  target_link_libraries(synth_editor_bench PRIVATE marrowglint_editor benchmark::benchmark)
endif()
