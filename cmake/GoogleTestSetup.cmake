# GoogleTest: Debian's package natively; the MinGW targets build it from the
# sources that the same package ships.

if(CMAKE_CROSSCOMPILING)
  set(VORNHALT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VORNHALT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own CMake defines the GTest:: aliases.
else()
  find_package(GTest REQUIRED)
endif()

# vornhalt_add_test(<name> SOURCES <...> LIBRARIES <...> [ENVIRONMENT <...>])
# One test program, one ctest entry; Windows builds run it under wine through
# CMAKE_CROSSCOMPILING_EMULATOR.
function(vornhalt_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
      VORNHALT_PLUGIN_DIR="${VORNHALT_PLUGIN_DIR}"
      VORNHALT_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
      VORNHALT_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# vornhalt_add_display_test(<target>): registers a test program that needs a
# display (X11, or wine drawing through it). Display tests never run side by
# side: they share one display, where one test's host window could cover
# another's screenshot, and under wine one wine server.
function(vornhalt_add_display_test target)
  set(command ${PROJECT_SOURCE_DIR}/cmake/with-display.sh)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(APPEND command ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
  add_test(NAME ${target} COMMAND ${command} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300 RESOURCE_LOCK display)
endfunction()
