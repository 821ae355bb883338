# Writes one CTest test per test suite of a GoogleTest program (run with --gtest_filter=Suite.*): the
# suites run side by side, without starting one sanitized process for every single case. Run after the
# program is built (see k54_core_test in K54Targets.cmake):
#   cmake -D PROGRAM=... -D OUTPUT=... -D LABELS=... -P GTestSuites.cmake
execute_process(COMMAND ${PROGRAM} --gtest_list_tests OUTPUT_VARIABLE listing RESULT_VARIABLE status
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${status}): ${errors}")
endif()
# Suite lines start in the first column and end with a dot ("Suite." or "Prefix/Suite."); cases are indented.
string(REGEX MATCHALL "(^|\n)[^ \n#][^ \n]*\\." suites "${listing}")
if(NOT suites)
  message(FATAL_ERROR "${PROGRAM} lists no test suites")
endif()
set(script "")
foreach(suite IN LISTS suites)
  string(STRIP "${suite}" suite)
  string(REGEX REPLACE "\\.$" "" name "${suite}")
  string(APPEND script "add_test([=[${name}]=] [==[${PROGRAM}]==] [=[--gtest_filter=${suite}*]=] --gtest_brief=1)\n")
  string(APPEND script "set_tests_properties([=[${name}]=] PROPERTIES LABELS [=[${LABELS}]=])\n")
endforeach()
file(WRITE "${OUTPUT}" "${script}")
