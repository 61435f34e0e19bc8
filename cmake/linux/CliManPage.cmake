# Writes the manual page of trackwright-cli from its template, with the usage the program itself
# prints, so that the page never lists other commands than the program knows:
#
#   cmake -DCLI=PROGRAM -DTEMPLATE=trackwright-cli.1.in -DOUTPUT=FILE
#         -DPROJECT_VERSION=X.Y.Z -DTRACKWRIGHT_RELEASE_DATE=YYYY-MM-DD -P CliManPage.cmake
#
# The usage is what `--help` prints on standard output when it ends with 0; a program without
# `--help` prints it on standard error after a line that says why, when it is given no command.
execute_process(COMMAND "${CLI}" --help
  RESULT_VARIABLE status OUTPUT_VARIABLE usage ERROR_VARIABLE ignored)
if(NOT status EQUAL 0)
  execute_process(COMMAND "${CLI}"
    RESULT_VARIABLE status OUTPUT_VARIABLE ignored ERROR_VARIABLE message)
  string(FIND "${message}" "usage:" start)
  if(NOT status EQUAL 2 OR start LESS 0)
    message(FATAL_ERROR "${CLI} printed no usage (exit status ${status}):\n${message}")
  endif()
  string(SUBSTRING "${message}" ${start} -1 usage)
endif()
string(STRIP "${usage}" usage)
if(usage STREQUAL "")
  message(FATAL_ERROR "${CLI} --help printed nothing")
endif()

# The usage goes into the page as it is printed (between .nf and .fi), so only what roff would
# take as its own is escaped: backslashes, minus signs (which roff would make hyphens), and a
# dot or an apostrophe at the start of a line.
string(REPLACE "\\" "\\e" usage "${usage}")
string(REPLACE "-" "\\-" usage "${usage}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" usage "${usage}")
set(TRACKWRIGHT_CLI_USAGE "${usage}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
