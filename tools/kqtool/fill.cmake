# The auto frequency fill on a channel file.
target_sources(kqtool PRIVATE ${CMAKE_CURRENT_LIST_DIR}/cmd_fill.cpp)
target_link_libraries(kqtool PRIVATE kqdialogs kqdoc)
target_compile_definitions(kqtool PRIVATE KQTOOL_FILL_COMMANDS)
