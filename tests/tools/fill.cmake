kq_gtest(test_kqtool_fill SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_kqtool_fill.cpp LIBS kqdoc)
target_compile_definitions(test_kqtool_fill PRIVATE KQTOOL_PATH="$<TARGET_FILE:kqtool>")
add_dependencies(test_kqtool_fill kqtool)
