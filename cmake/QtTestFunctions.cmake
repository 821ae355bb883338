# Writes one CTest test per test function of a Qt Test program, so that the functions of one program
# run side by side. Run after the program is built (see k54_qt_test in tests/app/qt/CMakeLists.txt):
#   cmake -D PROGRAM=... -D NAME=... -D OUTPUT=... -D LABELS=... -D TIMEOUT=... -D COST=... -P QtTestFunctions.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -functions
                OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} -functions failed (${status}): ${errors}")
endif()
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listing}")
if(NOT functions)
  message(FATAL_ERROR "${PROGRAM} lists no test functions")
endif()
set(script "")
foreach(function IN LISTS functions)
  string(REPLACE "()" "" function "${function}")
  string(APPEND script "add_test([=[${NAME}.${function}]=] [==[${PROGRAM}]==] [=[${function}]=])\n")
  string(APPEND script "set_tests_properties([=[${NAME}.${function}]=] PROPERTIES LABELS [=[${LABELS}]=] "
                       "ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT ${TIMEOUT} COST ${COST})\n")
endforeach()
file(WRITE "${OUTPUT}" "${script}")
