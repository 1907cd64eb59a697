# Reproducible programs: one commit gives byte-identical programs in any
# folder and at any time, so anyone can rebuild a download and compare.
#
# - The linker writes no time stamp into the PE header (it would otherwise
#   put the moment of linking there).
# - No build folder reaches what the compiler writes: __FILE__ and any
#   debug information name files relative to the source or build folder.
# The packaging side (file times in the zip and the installer, signing time)
# is in packaging/make_dist.py.
add_link_options(LINKER:--no-insert-timestamp)
add_compile_options(
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>)
