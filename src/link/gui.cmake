# The reading and writing windows and the port list, in the program's
# window library.
target_sources(kqgui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TransferWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/Form_Ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form_Ports.h)
target_include_directories(kqgui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kqgui PUBLIC kqlink)
target_compile_definitions(kqgui PUBLIC KQ_TRANSFER_WINDOWS)
