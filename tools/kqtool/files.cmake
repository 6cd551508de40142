# Channel file commands: show, report, export, import, new, words.
target_sources(kqtool PRIVATE ${CMAKE_CURRENT_LIST_DIR}/cmd_files.cpp)
target_link_libraries(kqtool PRIVATE kqdoc kqdialogs)
target_compile_definitions(kqtool PRIVATE KQTOOL_FILE_COMMANDS)
