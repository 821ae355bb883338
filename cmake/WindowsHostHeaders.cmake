# On a Windows cross build the two header-only libraries (nlohmann-json, CLI11) come from the build
# machine's Debian packages, copied apart so that the cross compiler never sees the machine's other headers.
foreach(library nlohmann CLI)
  file(COPY /usr/include/${library} DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
