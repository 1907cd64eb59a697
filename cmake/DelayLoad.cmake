# Delay-loaded DLLs. A DLL is loaded at its first call instead of before the
# program's entry point when it is:
# - not one of the DLLs that may be imported statically (cmake/StaticImports.txt):
#   the entry point first limits DLL search to the system folder, so a DLL of
#   that name beside the program is never loaded (version, winhttp, wininet,
#   winmm);
# - or needed only after the window is up (shell32 to open a web page, ole32
#   for the shell's COM): under Wine each DLL loaded at start, with the DLLs it
#   pulls in, delays the window.
#
# mirvex_delay_import(NAME) makes the imported library NAME_delay from
# cmake/delayload/NAME.def (the functions called); link it instead of NAME.
# A function missing from the .def fails to link, unless the compiler links
# NAME by default (shell32): then it links from the ordinary import library
# and loads its DLL at start again. mirvex_check_imports catches that for a
# DLL outside the static list.
find_program(MIRVEX_DLLTOOL NAMES ${MINGW_PREFIX}-dlltool dlltool REQUIRED)
find_program(MIRVEX_OBJDUMP NAMES ${MINGW_PREFIX}-objdump objdump REQUIRED)
set(MIRVEX_STATIC_IMPORTS ${CMAKE_SOURCE_DIR}/cmake/StaticImports.txt)

function(mirvex_delay_import name)
  set(def ${CMAKE_SOURCE_DIR}/cmake/delayload/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
    COMMAND ${MIRVEX_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
    DEPENDS ${def}
    VERBATIM)
  add_custom_target(${name}_delay_library DEPENDS ${lib})
  add_library(${name}_delay STATIC IMPORTED GLOBAL)
  set_target_properties(${name}_delay PROPERTIES IMPORTED_LOCATION ${lib})
  add_dependencies(${name}_delay ${name}_delay_library)
endfunction()

# The names in the static list, lower case without ".dll".
function(mirvex_static_imports out)
  file(STRINGS ${MIRVEX_STATIC_IMPORTS} names REGEX "^[a-z]")
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# After every link of TARGET, fails the build when the program imports a DLL
# statically that the static list does not name. The list is a link
# dependency, so a change to it checks again.
function(mirvex_check_imports target)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${MIRVEX_STATIC_IMPORTS})
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MIRVEX_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
            -DALLOWED=${MIRVEX_STATIC_IMPORTS} -P ${CMAKE_SOURCE_DIR}/cmake/CheckImports.cmake
    VERBATIM)
endfunction()
