# brantle_add_test(NAME SOURCES a.cpp b.cpp [LIBS extra...])
# Builds one GoogleTest executable per area and registers it with CTest.
find_package(GTest REQUIRED)

function(brantle_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE brantle_test_support ${ARG_LIBS}
                        GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
