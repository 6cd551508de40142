kq_gtest(test_document_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ChannelFile.cpp LIBS kqdoc)
kq_gtest(test_document_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ChannelText.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/test_ReportText.cpp LIBS kqdoc)
kq_gtest(test_document_clipboard SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ChannelClipboard.cpp LIBS kqdoc)
