# vantel_add_test(<name> SOURCES ... [LIBS ...])
# One GoogleTest executable registered as one ctest test (every Wine start costs about a second).
# In the Windows tree ctest runs it under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(vantel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${VANTEL_GTEST_MAIN})
  add_test(NAME ${name} COMMAND ${name})
endfunction()
