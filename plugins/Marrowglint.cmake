vornhalt_add_plugin(Marrowglint
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/MarrowglintEntry.cpp
    LIBRARIES marrowglint_editor)
