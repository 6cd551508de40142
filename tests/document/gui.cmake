kq_qtest(test_document_windows SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmDocument.cpp
                                       ${CMAKE_CURRENT_LIST_DIR}/GuiTestSupport.h LIBS kqgui)
target_include_directories(test_document_windows PRIVATE ${CMAKE_CURRENT_LIST_DIR})
