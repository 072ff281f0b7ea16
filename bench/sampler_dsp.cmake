# Sarnel's DSP blocks (sampler/dsp). Included from bench/CMakeLists.txt.
add_executable(sampler_dsp_bench ${CMAKE_CURRENT_LIST_DIR}/sampler_dsp_bench.cpp)
target_link_libraries(sampler_dsp_bench PRIVATE sarnel_dsp benchmark::benchmark)
