# libFuzzer target for the envelope node text reader: any bytes must either
# parse into nodes within 0..255 or fail with a conversion error.
add_executable(fuzz_node_text ${CMAKE_CURRENT_LIST_DIR}/FuzzNodeText.cpp
    ${PROJECT_SOURCE_DIR}/controls/NodeText.cpp)
target_include_directories(fuzz_node_text PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(fuzz_node_text PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(fuzz_node_text PRIVATE -fsanitize=fuzzer,address,undefined)
