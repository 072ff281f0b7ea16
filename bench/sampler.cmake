# Sarnel's render loop. Included from bench/CMakeLists.txt.
if(TARGET sarnel_engine)
  add_executable(sampler_bench ${CMAKE_CURRENT_LIST_DIR}/sampler_bench.cpp)
  target_link_libraries(sampler_bench PRIVATE sarnel_engine vornhalt_host benchmark::benchmark)
  # A plain program for instruction counts under callgrind.
  add_executable(sampler_render_probe ${CMAKE_CURRENT_LIST_DIR}/sampler_render_probe.cpp)
  target_link_libraries(sampler_render_probe PRIVATE sarnel_engine vornhalt_host)
endif()
