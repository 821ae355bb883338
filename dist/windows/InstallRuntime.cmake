# Run by cmake --install: copies beside the programs every DLL that they and the plugins import, directly
# or through another DLL, from the folders given (K54_DLL_DIRS). A DLL found in none of them must be part
# of Windows: an API set (api-ms-win-*) or a DLL that MinGW has an import library for (lib<name>.a in
# K54_SYSTEM_IMPORT_LIBS, e.g. libkernel32.a); anything else is missing and fails the install, so that a
# package never leaves out a DLL that Windows does not have.
# CMake looks a Windows DLL up by its name in lower case, as Windows matches names; this file system
# does not, so each folder's DLLs are offered under lower-case links that lead to the real files.
set(lower_case_dir "${CMAKE_CURRENT_BINARY_DIR}/k54-dlls-by-lower-case-name")
file(REMOVE_RECURSE "${lower_case_dir}")
file(MAKE_DIRECTORY "${lower_case_dir}")
foreach(dir IN LISTS K54_DLL_DIRS)
  file(GLOB dlls "${dir}/*.dll")
  foreach(dll IN LISTS dlls)
    cmake_path(GET dll FILENAME name)
    string(TOLOWER "${name}" name)
    if(NOT EXISTS "${lower_case_dir}/${name}")
      file(CREATE_LINK "${dll}" "${lower_case_dir}/${name}" SYMBOLIC)
    endif()
  endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${K54_OBJDUMP})

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${K54_PROGRAMS}
  MODULES ${K54_MODULES}
  DIRECTORIES "${lower_case_dir}"
  PRE_EXCLUDE_REGEXES "^[Aa][Pp][Ii]-[Mm][Ss]-[Ww][Ii][Nn]-"
  RESOLVED_DEPENDENCIES_VAR found
  UNRESOLVED_DEPENDENCIES_VAR unresolved)

set(missing)
foreach(dll IN LISTS unresolved)
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  if(NOT EXISTS "${K54_SYSTEM_IMPORT_LIBS}/lib${name}.a")
    list(APPEND missing ${dll})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "DLLs the Windows programs import but found nowhere: ${missing}")
endif()

foreach(link IN LISTS found)
  file(REAL_PATH "${link}" dll)
  file(INSTALL "${dll}" DESTINATION "${CMAKE_INSTALL_PREFIX}")
endforeach()
file(REMOVE_RECURSE "${lower_case_dir}")
