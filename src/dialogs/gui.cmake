# The editing dialogs, built into the program's window library.
target_sources(kqgui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EditDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/Form_Keyin_CH.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form_Keyin_CH.h
  ${CMAKE_CURRENT_LIST_DIR}/Form_AutoFreq.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form_AutoFreq.h
  ${CMAKE_CURRENT_LIST_DIR}/Form_Option_System.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form_Option_System.h
  ${CMAKE_CURRENT_LIST_DIR}/InstallEditDialogs.cpp)
target_include_directories(kqgui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kqgui PUBLIC kqdialogs)
target_compile_definitions(kqgui PUBLIC KQ_EDIT_DIALOGS)
