kq_qtest(test_dialogs_windows SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_EditDialogs.cpp LIBS kqgui)
target_include_directories(test_dialogs_windows PRIVATE ${CMAKE_SOURCE_DIR}/tests/document)
