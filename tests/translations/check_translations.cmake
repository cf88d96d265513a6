# Fails when a tr() text of the sources has no finished translation in the given .ts file.
# Run as: cmake -DLUPDATE=<lupdate> -DSRC=<src folder> -DTS=<file.ts> -DWORK=<scratch folder>
#         -P check_translations.cmake
# The .ts file itself is never changed: lupdate works on a copy.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(name "${TS}" NAME)
set(copy "${WORK}/${name}")
file(COPY "${TS}" DESTINATION "${WORK}")
execute_process(
  COMMAND "${LUPDATE}" -silent -locations none -recursive "${SRC}" -ts "${copy}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result}):\n${output}")
endif()

file(READ "${copy}" text)
# One message per list element; a message is unfinished when its translation is marked so.
string(REPLACE ";" "\\;" text "${text}")
string(REPLACE "<message" ";<message" messages "${text}")
set(untranslated "")
set(count 0)
foreach(message IN LISTS messages)
  if(message MATCHES "<translation type=\"unfinished\"")
    string(REGEX MATCH "<source>[^<]*</source>" source "${message}")
    string(APPEND untranslated "\n  ${source}")
    math(EXPR count "${count} + 1")
  endif()
endforeach()
if(count GREATER 0)
  message(FATAL_ERROR "${count} text(s) without a finished translation in ${name} "
    "(run scripts/update-translations.sh, then translate them):${untranslated}")
endif()
message(STATUS "Every text of ${name} is translated")
