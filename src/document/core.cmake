# Channel files, channel rows and the report text: standard library only, so
# the windows, kqtool and the tests share one implementation.
add_library(kqdoc STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ChannelFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChannelText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChannelClipboard.cpp)
target_include_directories(kqdoc PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kqdoc PUBLIC kqdevice)
