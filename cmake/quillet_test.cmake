# quillet_add_test(NAME SOURCES file... [LIBS target...])
# Builds one GoogleTest executable and registers it with CTest. The same
# call serves the native build and the Windows build, where CTest runs the
# executable through the cross-compiling emulator (Wine).
function(quillet_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${QUILLET_SOURCE_ROOT} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quillet_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QUILLET_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    QUILLET_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
endfunction()

# quillet_add_library(NAME SOURCES file... [LIBS target...])
# One static library of a layer, with the source and public include roots.
function(quillet_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${QUILLET_SOURCE_ROOT} ${QUILLET_INCLUDE_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
