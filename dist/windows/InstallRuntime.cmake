# Run by cmake --install: copies beside the programs every DLL that they and the plugins import, directly
# or through another DLL, from the folders given (K54_DLL_DIRS). A DLL found in none of them must be part
# of Windows: an API set (api-ms-win-*) or a DLL that MinGW has an import library for (lib<name>.a in
# K54_SYSTEM_IMPORT_LIBS, e.g. libkernel32.a); anything else is missing and fails the install, so that a
# package never leaves out a DLL that Windows does not have.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${K54_OBJDUMP})

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${K54_PROGRAMS}
  MODULES ${K54_MODULES}
  DIRECTORIES ${K54_DLL_DIRS}
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

foreach(dll IN LISTS found)
  file(INSTALL ${dll} DESTINATION "${CMAKE_INSTALL_PREFIX}")
endforeach()
