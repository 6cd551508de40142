# Radio transfers through the serial link.
target_sources(kqtool PRIVATE ${CMAKE_CURRENT_LIST_DIR}/cmd_radio.cpp)
target_link_libraries(kqtool PRIVATE kqlink kqdoc)
target_compile_definitions(kqtool PRIVATE KQTOOL_RADIO_COMMANDS)
