kq_gtest(test_dialogs_logic SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_EditLogic.cpp LIBS kqdialogs)
