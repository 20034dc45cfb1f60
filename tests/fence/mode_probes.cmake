# cmake -DCOMMANDS=<compile_commands.json> -DSOURCE=<repository> -DWORK=<dir>
#       -P mode_probes.cmake
#
# Places small files beside the mode library's sources in its layer root and
# compiles each with the library's own compile command (its flags and
# include folders as the build has them). Those that include a header of
# game/ must be refused with that header missing, and nothing else; the
# control, which includes a lower header, must compile, so a command that
# cannot compile anything does not pass for a fence.
foreach(var COMMANDS SOURCE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "mode_probes.cmake: -D${var}=... is missing")
  endif()
endforeach()
# The compilers' own words for a missing header.
set(ENV{LC_ALL} C)

# A header of game/ for the probes to reach for.
set(game_header game.h)
if(NOT EXISTS ${SOURCE}/game/${game_header})
  file(GLOB game_headers RELATIVE ${SOURCE}/game ${SOURCE}/game/*.h)
  list(SORT game_headers)
  list(GET game_headers 0 game_header)
  if(NOT game_header)
    message(FATAL_ERROR "${SOURCE}/game: no header for the probes to include")
  endif()
endif()

# NAME|INCLUDE|OUTCOME
set(probes
  "parent|\"../game/${game_header}\"|refused"
  "angle|<game/${game_header}>|refused"
  "through_mode|\"mode/../game/${game_header}\"|refused"
  "through_services|\"services/../game/${game_header}\"|refused"
  "control|\"modebase/commongeneral.h\"|compiles")

# The compile command of one source of zor_mode.
if(NOT EXISTS ${COMMANDS})
  message(FATAL_ERROR "${COMMANDS}: missing (CMAKE_EXPORT_COMPILE_COMMANDS writes it at configure time)")
endif()
file(READ ${COMMANDS} db)
string(FIND "${db}" "/zor_mode.dir/" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${COMMANDS}: no compile command of zor_mode")
endif()
string(SUBSTRING "${db}" 0 ${at} before)
string(FIND "${before}" "{" start REVERSE)
string(SUBSTRING "${db}" ${start} -1 rest)
string(FIND "${rest}" "}" end)
math(EXPR length "${end} + 1")
string(SUBSTRING "${rest}" 0 ${length} entry)
string(JSON directory GET "${entry}" directory)
string(JSON command GET "${entry}" command)
string(JSON source GET "${entry}" file)
# The folder of the source must be a directory of the root, not the source
# folder (by its own path, or through a symlinked directory): there ".."
# leaves the root for the source tree.
get_filename_component(folder ${source} DIRECTORY)
file(REAL_PATH ${folder} real_folder)
file(REAL_PATH ${SOURCE}/mode real_mode)
if(real_folder STREQUAL real_mode)
  message(FATAL_ERROR "${COMMANDS}: zor_mode compiles ${source} from the source folder ${real_mode}, not from its layer root")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failed 0)
foreach(row IN LISTS probes)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 name)
  list(GET row 1 spelled)
  list(GET row 2 outcome)
  set(text ${WORK}/${name}.cpp)
  set(probe ${folder}/zor_fence_probe_${name}.cpp)
  file(WRITE ${text} "// A file of mode/ that includes ${spelled}.\n#include ${spelled}\n")
  file(CREATE_LINK ${text} ${probe} SYMBOLIC)

  separate_arguments(args UNIX_COMMAND "${command}")
  set(compile "")
  set(replaced 0)
  set(next_is_output FALSE)
  foreach(arg IN LISTS args)
    if(next_is_output)
      set(arg ${WORK}/${name}.o)
      set(next_is_output FALSE)
      math(EXPR replaced "${replaced} + 1")
    elseif(arg STREQUAL "-o")
      set(next_is_output TRUE)
    elseif(arg STREQUAL source)
      set(arg ${probe})
      math(EXPR replaced "${replaced} + 1")
    endif()
    list(APPEND compile "${arg}")
  endforeach()
  if(NOT replaced EQUAL 2)
    file(REMOVE ${probe})
    message(FATAL_ERROR "${COMMANDS}: the command for ${source} does not name it and one -o output: ${command}")
  endif()
  execute_process(COMMAND ${compile} WORKING_DIRECTORY ${directory}
    RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
  file(REMOVE ${probe})

  string(REGEX REPLACE "^[\"<](.*)[\">]$" "\\1" header "${spelled}")
  if(outcome STREQUAL "compiles")
    if(NOT status EQUAL 0)
      message(SEND_ERROR "${name}: #include ${spelled} in ${probe} does not compile:\n${said}")
      set(failed 1)
    endif()
    continue()
  endif()
  # Refused: the header exists in the source tree, so only the fence can
  # keep it out, and the one error is that it is not found.
  if(NOT EXISTS ${SOURCE}/${header} AND NOT EXISTS ${SOURCE}/mode/${header})
    message(SEND_ERROR "${name}: ${header} is not in ${SOURCE}; the probe proves nothing")
    set(failed 1)
    continue()
  endif()
  set(header_pattern "${header}")
  set(probe_pattern "${probe}")
  foreach(special . + * ? ^ $ | "(" ")" "[" "]")
    string(REPLACE "${special}" "\\${special}" header_pattern "${header_pattern}")
    string(REPLACE "${special}" "\\${special}" probe_pattern "${probe_pattern}")
  endforeach()
  set(missing "${probe_pattern}:2:[0-9]+: fatal error: '?${header_pattern}'?(: No such file or directory| file not found)")
  string(REGEX MATCHALL "error:" errors "${said}")
  list(LENGTH errors error_count)
  if(status EQUAL 0)
    message(SEND_ERROR "${name}: #include ${spelled} in ${probe} compiles; the layers let mode/ reach game/")
    set(failed 1)
  elseif(NOT said MATCHES "${missing}" OR NOT error_count EQUAL 1)
    message(SEND_ERROR "${name}: #include ${spelled} in ${probe} fails, but not only for a missing ${header}:\n${said}")
    set(failed 1)
  else()
    message(STATUS "${name}: #include ${spelled} refused")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "the mode library's layer root lets a probe through, or refuses the control")
endif()
