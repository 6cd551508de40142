# The windows of the program, in one library with the other folders' windows.
add_library(kqgui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DocumentHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModuleKQDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frmMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frmDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form_Readme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowLook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frmMain.h
  ${CMAKE_CURRENT_LIST_DIR}/frmDocument.h
  ${CMAKE_CURRENT_LIST_DIR}/Form_Readme.h)
set_target_properties(kqgui PROPERTIES AUTOMOC ON)
target_include_directories(kqgui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kqgui PUBLIC kqdoc kqdevice Qt6::Widgets Qt6::PrintSupport)

add_executable(kqprogrammer ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(kqprogrammer PRIVATE kqgui)
# The read-me viewer looks for its text next to the program.
add_custom_command(TARGET kqprogrammer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/KQreadme.txt
          $<TARGET_FILE_DIR:kqprogrammer>/KQreadme.txt)
