# Helpers that give every plug-in and test the same shape on every target.

set(VORNHALT_PLUGIN_DIR ${CMAKE_BINARY_DIR}/plugins)

# vornhalt_add_plugin(<Name> SOURCES <entry sources...> LIBRARIES <libs...>
#                     [OUTPUT_DIRECTORY <dir>])
# Builds <Name>.so or <Name>.dll into build/<target>/plugins, exporting exactly
# `VSTPluginMain` and `main`.
function(vornhalt_add_plugin name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT ARG_OUTPUT_DIRECTORY)
    set(ARG_OUTPUT_DIRECTORY ${VORNHALT_PLUGIN_DIR})
  endif()
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
  set_target_properties(${name} PROPERTIES
      PREFIX ""
      LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
      RUNTIME_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  if(WIN32)
    # The .def file names the exports exactly (no decoration) and aliases
    # `main` to the one C++ entry.
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/framework/PluginExports.def)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/framework/PluginMainAlias.c)
    # Clang insists on main's standard signature unless the unit is freestanding
    # (which this one, calling a single function, can be).
    set_source_files_properties(${PROJECT_SOURCE_DIR}/framework/PluginMainAlias.c
        TARGET_DIRECTORY ${name} PROPERTIES COMPILE_OPTIONS "-Wno-main;$<$<C_COMPILER_ID:Clang>:-ffreestanding>")
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
