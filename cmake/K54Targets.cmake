# Helpers that keep the core libraries and their tests uniform.
#
# The core (no Qt) is built once plain, for the programs, and once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (targets suffixed _san) when K54_SANITIZE is on; the core's tests link
# the sanitized variants, the Qt window and the programs link the plain ones.

# The source tree's root (the folder above this one), so that a project built from a subfolder, such as
# the cross build of the Windows tests, includes "serial/...", "modbus/..." and "tests/..." the same way.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH K54_SOURCE_DIR)

# With GCC, -fsanitize=undefined leaves out a float converted to an integer it does not fit and a float
# division by zero; both are asked for by name.
set(K54_SAN_OPTIONS -fsanitize=address,undefined,float-cast-overflow,float-divide-by-zero
                    -fno-sanitize-recover=undefined,float-cast-overflow,float-divide-by-zero -fno-omit-frame-pointer)

# k54_expose_headers(TARGET [SUBFOLDERS folder ...])
# A library shows the others only its own headers: those of its folder (and of the SUBFOLDERS named,
# its platform parts), linked under a folder of its own in the build tree, so that "config/rules/X.h"
# compiles only in a target that links the library holding it. A test library sees the whole tree.
function(k54_expose_headers target)
  cmake_parse_arguments(A "" "" "SUBFOLDERS" ${ARGN})
  file(RELATIVE_PATH folder ${K54_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(folder MATCHES "^tests(/|$)")
    target_include_directories(${target} PUBLIC ${K54_SOURCE_DIR})
    return()
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(part IN ITEMS "" ${A_SUBFOLDERS})
    set(from ${folder})
    if(part)
      string(APPEND from /${part})
    endif()
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${K54_SOURCE_DIR} ${K54_SOURCE_DIR}/${from}/*.h)
    file(MAKE_DIRECTORY ${root}/${from})
    foreach(header IN LISTS headers)
      file(CREATE_LINK ${K54_SOURCE_DIR}/${header} ${root}/${header} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# k54_core_library(NAME SOURCES ... [DEPS internal core libraries] [LIBS external libraries]
#                  [SUBFOLDERS folders whose headers are the library's too])
function(k54_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LIBS;SUBFOLDERS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  k54_expose_headers(${name} SUBFOLDERS ${A_SUBFOLDERS})
  target_link_libraries(${name} PUBLIC ${A_DEPS} ${A_LIBS})
  if(K54_SANITIZE)
    set(san_deps)
    foreach(dep IN LISTS A_DEPS)
      list(APPEND san_deps ${dep}_san)
    endforeach()
    add_library(${name}_san STATIC ${A_SOURCES})
    target_include_directories(${name}_san PUBLIC $<TARGET_PROPERTY:${name},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_options(${name}_san PUBLIC ${K54_SAN_OPTIONS})
    target_link_options(${name}_san PUBLIC ${K54_SAN_OPTIONS})
    target_link_libraries(${name}_san PUBLIC ${san_deps} ${A_LIBS})
  endif()
endfunction()

# k54_core_test(NAME SOURCES ... DEPS core libraries [LIBS external libraries] [LABELS labels]
#               [SEPARATE suites])
# A GoogleTest program over the core, sanitized when K54_SANITIZE is on. Its suites run as one CTest test
# named NAME, except those named in SEPARATE (the ones that wait on a line), which are CTest tests of their
# own (listed once the program is built, by GTestSuites.cmake).
function(k54_core_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LIBS;LABELS;SEPARATE" ${ARGN})
  set(deps)
  foreach(dep IN LISTS A_DEPS)
    if(K54_SANITIZE AND TARGET ${dep}_san)
      list(APPEND deps ${dep}_san)
    else()
      list(APPEND deps ${dep})
    endif()
  endforeach()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${K54_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${deps} ${A_LIBS} GTest::gtest_main)
  if(K54_SANITIZE)
    target_compile_options(${name} PRIVATE ${K54_SAN_OPTIONS})
    # Linked at a fixed address, the program starts without applying its some 250,000 relocations (the
    # sanitizers' descriptors of every global and string), a good part of a short test's processor time.
    target_link_options(${name} PRIVATE ${K54_SAN_OPTIONS} -no-pie)
  endif()
  if(NOT A_LABELS)
    set(A_LABELS core)
  endif()
  # Colons, as in a GoogleTest filter: a CMake list would not reach the script as one argument.
  string(REPLACE ";" ":" separate "${A_SEPARATE}")
  set(listing "${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake")
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D PROGRAM=$<TARGET_FILE:${name}> -D NAME=${name} -D OUTPUT=${listing}
            -D "LABELS=${A_LABELS}" -D "SEPARATE=${separate}" -P ${K54_SOURCE_DIR}/cmake/GTestSuites.cmake
    BYPRODUCTS ${listing} VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${listing})
endfunction()
