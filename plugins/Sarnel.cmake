vornhalt_add_plugin(Sarnel
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SarnelEntry.cpp
    LIBRARIES sarnel_editor)
