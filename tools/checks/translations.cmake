# Every text the code marks for translation is in every language's .ts file, translated: the
# files are brought up to date in a scratch copy (as `./run translations` would), and lrelease
# must find nothing unfinished or untranslated there.
# Arguments: LUPDATE, LRELEASE, TS_DIR, SCRATCH, SOURCES (a ;-list as one argument).
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(GLOB ts_files "${TS_DIR}/*.ts")
if(NOT ts_files)
  message(FATAL_ERROR "no .ts files in ${TS_DIR}")
endif()
set(failed "")
foreach(ts IN LISTS ts_files)
  get_filename_component(name "${ts}" NAME)
  file(COPY "${ts}" DESTINATION "${SCRATCH}")
  execute_process(
    COMMAND "${LUPDATE}" -silent -tr-function-alias QT_TR_NOOP+=Tr,QT_TR_N_NOOP+=TrN
            -no-obsolete -locations none ${SOURCES} -ts "${SCRATCH}/${name}"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  # The window looks the core's texts up in the context "qelto": a text marked inside a class
  # or function of the core would land in a context of its own and never be shown translated.
  file(STRINGS "${SCRATCH}/${name}" contexts REGEX "<name>")
  foreach(context IN LISTS contexts)
    if(NOT context MATCHES "<name>(qelto|qelto::gui::[A-Za-z]+)</name>")
      string(APPEND failed "${name}: a text marked outside the namespace scope: ${context}\n")
    endif()
  endforeach()
  execute_process(COMMAND "${LRELEASE}" "${SCRATCH}/${name}" -qm "${SCRATCH}/${name}.qm"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT out MATCHES " 0 unfinished" OR out MATCHES "untranslated")
    string(APPEND failed "${name}: ${out}${err}\n")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "texts without their translation (run ./run translations, then translate):\n${failed}")
endif()
