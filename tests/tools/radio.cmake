if(TARGET kqradio)
  kq_gtest(test_kqtool_radio SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_kqtool_radio.cpp LIBS kqdoc Qt6::Core)
  target_include_directories(test_kqtool_radio PRIVATE ${CMAKE_SOURCE_DIR}/tests/link)
  target_compile_definitions(test_kqtool_radio PRIVATE KQTOOL_PATH="$<TARGET_FILE:kqtool>"
                                                       KQRADIO="$<TARGET_FILE:kqradio>")
  add_dependencies(test_kqtool_radio kqtool kqradio)
endif()
