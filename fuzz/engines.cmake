# libFuzzer targets of the instruments' host-facing surface: each engine is
# driven through its effect record by a hostile host (fuzz/engines). The
# engines, their building blocks and the framework are compiled into the
# fuzzers with instrumentation (FuzzObjects.cmake). Run them with
# scripts/run-fuzzers.sh.
include(${CMAKE_CURRENT_LIST_DIR}/FuzzObjects.cmake)

set(ENGINE_FUZZ_DRIVER ${CMAKE_CURRENT_LIST_DIR}/engines/SurfaceDriver.cpp)

if(TARGET sarnel_engine AND TARGET sarnel_dsp AND TARGET sarnel_io AND TARGET vornhalt_framework)
  vornhalt_fuzz_objects(vornhalt_framework sarnel_dsp sarnel_io sarnel_engine)
  add_executable(fuzz_sarnel_surface ${CMAKE_CURRENT_LIST_DIR}/engines/fuzz_sarnel_surface.cpp ${ENGINE_FUZZ_DRIVER})
  target_compile_options(fuzz_sarnel_surface PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_options(fuzz_sarnel_surface PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_libraries(fuzz_sarnel_surface PRIVATE
      vornhalt_framework_fuzz sarnel_dsp_fuzz sarnel_io_fuzz sarnel_engine_fuzz sarnel_engine)
endif()

if(TARGET marrowglint_engine AND TARGET vornhalt_framework)
  vornhalt_fuzz_objects(vornhalt_framework marrowglint_engine)
  add_executable(fuzz_marrowglint_surface ${CMAKE_CURRENT_LIST_DIR}/engines/fuzz_marrowglint_surface.cpp
                 ${ENGINE_FUZZ_DRIVER})
  target_compile_options(fuzz_marrowglint_surface PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_options(fuzz_marrowglint_surface PRIVATE ${VORNHALT_FUZZ_LINK})
  target_link_libraries(fuzz_marrowglint_surface PRIVATE
      vornhalt_framework_fuzz marrowglint_engine_fuzz marrowglint_engine)
endif()
