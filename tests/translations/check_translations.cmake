# Fails when a translation file could mislead the program: a tr() text of the sources without a
# finished translation, an entry left unfinished (lupdate's guesses from similar texts among them,
# which lrelease would otherwise build in), or a translation whose %1, %2 ... differ from its
# source's, so that arg() fills the wrong place or leaves a placeholder showing.
# Run as: cmake -DLUPDATE=<lupdate> -DSRC=<src folder> -DTS_DIR=<folder of tavcfg_*.ts>
#         -DWORK=<scratch folder> -P check_translations.cmake
# The .ts files themselves are never changed: lupdate works on copies.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(GLOB ts_files "${TS_DIR}/tavcfg_*.ts")
if(NOT ts_files)
  message(FATAL_ERROR "no translation file in ${TS_DIR}")
endif()

# The placeholders of a text, each once, sorted: "%2 then %1" and "%1 … %2" carry the same ones.
function(placeholders text out)
  string(REGEX MATCHALL "%L?[0-9]+|%n" found "${text}")
  if(found)
    list(REMOVE_DUPLICATES found)
    list(SORT found)
  endif()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(problems "")
set(count 0)
foreach(ts IN LISTS ts_files)
  get_filename_component(name "${ts}" NAME)
  set(copy "${WORK}/${name}")
  file(COPY "${ts}" DESTINATION "${WORK}")
  execute_process(
    COMMAND "${LUPDATE}" -silent -locations none -recursive "${SRC}" -ts "${copy}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name} (${result}):\n${output}")
  endif()

  file(READ "${copy}" text)
  # One message per list element; the semicolons of entities (&quot;) would split them further.
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "<message" ";<message" messages "${text}")
  foreach(message IN LISTS messages)
    if(NOT message MATCHES "^<message")
      continue()
    endif()
    string(REGEX MATCH "<source>[^<]*</source>" source "${message}")
    if(message MATCHES "<translation type=\"unfinished\"")
      string(APPEND problems "\n  ${name}: unfinished ${source}")
      math(EXPR count "${count} + 1")
      continue()
    endif()
    if(message MATCHES "<translation type=\"(vanished|obsolete)\"")
      continue()
    endif()
    string(REGEX MATCH "<translation[^>]*>.*</translation>" translation "${message}")
    placeholders("${source}" wanted)
    # Each plural form of a numerus entry carries the placeholders on its own.
    string(REGEX MATCHALL "<numerusform>[^<]*</numerusform>" forms "${translation}")
    if(NOT forms)
      set(forms "${translation}")
    endif()
    foreach(form IN LISTS forms)
      placeholders("${form}" given)
      if(NOT given STREQUAL wanted)
        string(APPEND problems "\n  ${name}: placeholders ${given} for ${wanted} in ${source}")
        math(EXPR count "${count} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(count GREATER 0)
  message(FATAL_ERROR "${count} translation(s) to mend (run scripts/update-translations.sh, "
    "then finish or correct them):${problems}")
endif()
message(STATUS "Every text is translated, with its own placeholders, in every translation file")
