# Delay-loaded system DLLs. A DLL that the program needs only after its
# window is up (shell32 to open a web page, winmm while clicking runs,
# winhttp for the update check on its worker thread) is
# loaded at its first call instead of before the program's entry: under Wine
# each DLL loaded at start, with the DLLs it pulls in, delays the window.
#
# mirvex_delay_import(NAME) makes the imported library NAME_delay from
# cmake/delayload/NAME.def (the functions called); link it instead of NAME.
# A function missing from the .def still links, from the ordinary import
# library, and then loads its DLL at start again.
find_program(MIRVEX_DLLTOOL NAMES ${MINGW_PREFIX}-dlltool dlltool REQUIRED)

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
