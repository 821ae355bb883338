# The tests against the simulated instrument that are one source for Linux and Windows. Each platform
# adds its own way of reaching the instrument (Linux: SimTestInstrument.cpp; Windows: the driver's).
set(K54_INSTRUMENT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TestInstrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExchangeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimeoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortListTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RefusedWritesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrafficLogOnLineTest.cpp)
