# Run by CPack on the staged files, before it packs them: every ELF file (the programs, the
# Python module) loses its symbols and the compiler's notes (.comment, .note), as Debian's own
# tools leave a package's binaries.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  execute_process(
    COMMAND "${CPACK_QELTO_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${file}")
  endif()
endforeach()
