# Read by ctest (a TEST_INCLUDE_FILES script that zv_test writes for each GoogleTest program):
# registers every test the built program lists as a ctest entry of its own, so that a test added
# to any file is picked up by the next run without touching the build files. Set by the caller:
#   ZV_EXE     the test program        ZV_PREFIX  the entries' name prefix (the program's name)
#   ZV_ENV     its environment (a list of NAME=VALUE)
#   ZV_DIR     its working folder      ZV_TIMEOUT seconds a test may take
if(NOT EXISTS "${ZV_EXE}")
  # Not built: one entry that fails and says so, rather than a suite that quietly has no tests.
  add_test("${ZV_PREFIX}.NOT_BUILT" "${ZV_EXE}")
  return()
endif()
execute_process(COMMAND "${ZV_EXE}" --gtest_list_tests
  WORKING_DIRECTORY "${ZV_DIR}" OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc
  TIMEOUT 120)
if(NOT _rc EQUAL 0)
  # The program cannot list its tests: an entry that runs it whole shows why.
  add_test("${ZV_PREFIX}.LIST_FAILED" "${ZV_EXE}")
  set_tests_properties("${ZV_PREFIX}.LIST_FAILED" PROPERTIES ENVIRONMENT "${ZV_ENV}")
  return()
endif()
# "Suite." lines, then "  Test" lines; comments (parameter values) may hold any character.
string(REGEX REPLACE "#[^\n]*" "" _out "${_out}")
string(REPLACE ";" "" _out "${_out}")
string(REPLACE "\n" ";" _lines "${_out}")
set(_suite "")
foreach(_line IN LISTS _lines)
  if(_line MATCHES "^([^ ]+)\\. *$")
    set(_suite "${CMAKE_MATCH_1}")
  elseif(_line MATCHES "^  ([^ ]+) *$" AND NOT _suite STREQUAL "")
    set(_test "${_suite}.${CMAKE_MATCH_1}")
    if(_test MATCHES "(^|\\.|/)DISABLED_")
      continue()
    endif()
    add_test("${ZV_PREFIX}.${_test}" "${ZV_EXE}" "--gtest_filter=${_test}")
    set_tests_properties("${ZV_PREFIX}.${_test}" PROPERTIES
      ENVIRONMENT "${ZV_ENV}" WORKING_DIRECTORY "${ZV_DIR}" TIMEOUT "${ZV_TIMEOUT}")
  endif()
endforeach()
