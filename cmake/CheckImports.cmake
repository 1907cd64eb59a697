# Fails when PROGRAM imports a DLL statically that ALLOWED (one name a line,
# "#" comments) does not name: such a DLL would be searched for in the
# program's own folder before the entry point could say otherwise.
#
#   cmake -DOBJDUMP=... -DPROGRAM=... -DALLOWED=... -P CheckImports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
file(STRINGS ${ALLOWED} allowed REGEX "^[a-z]")
string(REGEX MATCHALL "DLL Name: [^\r\n]+" entries "${dump}")
if(NOT entries)
  # Every program imports kernel32: no entry means the dump was not understood.
  message(FATAL_ERROR "no import table found in ${PROGRAM}")
endif()
set(outside)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  string(REGEX REPLACE "\\.dll$" "" name "${dll}")
  if(NOT name IN_LIST allowed)
    list(APPEND outside ${dll})
  endif()
endforeach()
if(outside)
  list(JOIN outside ", " outside)
  message(FATAL_ERROR "${PROGRAM} imports ${outside} statically; only the DLLs in "
                      "${ALLOWED} may be: delay-load the others (cmake/DelayLoad.cmake)")
endif()
