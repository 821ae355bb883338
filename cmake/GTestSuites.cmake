# Writes the CTest tests of a GoogleTest program: one test that runs all its suites in one process, and
# one test of its own for each suite named in SEPARATE (run with --gtest_filter=Suite.*). A sanitized
# process costs about a tenth of a second of processor time to start and to check for leaks at its end,
# more than most suites need to run, so quick suites share a process; a suite that spends its time
# waiting on a line (real time-outs, a simulated instrument) runs beside the others instead of after them.
# Run after the program is built (see k54_core_test in K54Targets.cmake):
#   cmake -D PROGRAM=... -D NAME=... -D OUTPUT=... -D LABELS=... [-D SEPARATE=Suite:Prefix/Suite] -P GTestSuites.cmake
cmake_minimum_required(VERSION 3.22)  # if(IN_LIST) in script mode
execute_process(COMMAND ${PROGRAM} --gtest_list_tests OUTPUT_VARIABLE listing RESULT_VARIABLE status
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${status}): ${errors}")
endif()
# Suite lines start in the first column and end with a dot ("Suite." or "Prefix/Suite."); cases are indented.
string(REGEX MATCHALL "(^|\n)[^ \n#][^ \n]*\\." listed "${listing}")
if(NOT listed)
  message(FATAL_ERROR "${PROGRAM} lists no test suites")
endif()
set(suites "")
foreach(suite IN LISTS listed)
  string(STRIP "${suite}" suite)
  string(REGEX REPLACE "\\.$" "" suite "${suite}")
  list(APPEND suites "${suite}")
endforeach()

# COST orders the start of a first run, when CTest knows no times yet: the waiting suites start first.
function(add_suite_test name filter cost)
  string(APPEND script "add_test([=[${name}]=] [==[${PROGRAM}]==] [=[--gtest_filter=${filter}]=] --gtest_brief=1)\n")
  string(APPEND script "set_tests_properties([=[${name}]=] PROPERTIES LABELS [=[${LABELS}]=] COST ${cost})\n")
  set(script "${script}" PARENT_SCOPE)
endfunction()

set(script "")
set(rest "${suites}")
set(excluded "")
string(REPLACE ":" ";" separate "${SEPARATE}")
foreach(suite IN LISTS separate)
  if(NOT suite IN_LIST suites)
    message(FATAL_ERROR "${PROGRAM} has no test suite ${suite} (named to run separately)")
  endif()
  add_suite_test("${suite}" "${suite}.*" 40)
  list(REMOVE_ITEM rest "${suite}")
  string(APPEND excluded ":${suite}.*")
endforeach()
if(rest)
  if(excluded)
    string(SUBSTRING "${excluded}" 1 -1 excluded)
    add_suite_test("${NAME}" "-${excluded}" 0)
  else()
    add_suite_test("${NAME}" "*" 0)
  endif()
endif()
file(WRITE "${OUTPUT}" "${script}")
