# Runs the real kqtool binary on temporary files.
kq_gtest(test_kqtool_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_kqtool_files.cpp ${CMAKE_CURRENT_LIST_DIR}/KqtoolRun.h LIBS kqdoc)
target_compile_definitions(test_kqtool_files PRIVATE KQTOOL_PATH="$<TARGET_FILE:kqtool>")
add_dependencies(test_kqtool_files kqtool)
