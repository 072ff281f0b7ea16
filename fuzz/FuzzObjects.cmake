# vornhalt_fuzz_objects(<library>...)
# For each library target, an object library <library>_fuzz of the same
# sources with the same include directories, definitions and options, built
# with the fuzzer's coverage instrumentation and the sanitizers. Fuzzers link
# these objects (so the fuzzer sees every branch of that code) and then the
# original library for its external dependencies; the original archive adds
# nothing else, since the objects define all of its symbols. The libraries
# themselves stay uninstrumented, so the plug-ins and the renderer of the same
# build tree link as usual.
include_guard(GLOBAL)

set(VORNHALT_FUZZ_INSTRUMENT -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
set(VORNHALT_FUZZ_LINK -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)

function(vornhalt_fuzz_objects)
  foreach(library IN LISTS ARGN)
    if(TARGET ${library}_fuzz)
      continue()
    endif()
    get_target_property(folder ${library} SOURCE_DIR)
    get_target_property(sources ${library} SOURCES)
    set(paths)
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder} OUTPUT_VARIABLE path)
      list(APPEND paths ${path})
    endforeach()
    add_library(${library}_fuzz OBJECT ${paths})
    target_include_directories(${library}_fuzz PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${library}_fuzz PRIVATE $<TARGET_PROPERTY:${library},COMPILE_DEFINITIONS>)
    target_compile_options(${library}_fuzz PRIVATE $<TARGET_PROPERTY:${library},COMPILE_OPTIONS>
                                                   ${VORNHALT_FUZZ_INSTRUMENT})
  endforeach()
endfunction()
