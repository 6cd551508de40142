# Text checks, the channel edit, the auto fill and the model choice on plain
# values: standard library only, shared by the dialogs and kqtool.
add_library(kqdialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TextChecks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FocusWalk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChannelEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AutoFill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemOption.cpp)
target_include_directories(kqdialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kqdialogs PUBLIC kqdoc kqdevice)
