# kq_gtest(<name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest program registered with ctest, run from the build folder.
function(kq_gtest name)
  cmake_parse_arguments(KQ "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${KQ_SOURCES})
  # Test files keep their helpers in anonymous namespaces, which gcc warns
  # about once a unity build includes them in another file.
  set_target_properties(${name} PROPERTIES UNITY_BUILD OFF)
  target_link_libraries(${name} PRIVATE ${KQ_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endfunction()

# kq_qtest(<name> SOURCES <files...> LIBS <targets...>)
# A Qt Test program with real widgets on the offscreen platform.
function(kq_qtest name)
  cmake_parse_arguments(KQ "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${KQ_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON UNITY_BUILD OFF)
  target_link_libraries(${name} PRIVATE ${KQ_LIBS} Qt6::Test Qt6::Widgets)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 60 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
