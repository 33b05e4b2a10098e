# Writes a man page from its template, with the program's own --help text
# in place of @USAGE@, so the page lists what the program really takes.
#   cmake -DPROGRAM=... -DTEMPLATE=... -DOUTPUT=... -DPROJECT_VERSION=... -P man_page.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE USAGE RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR USAGE STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()
# Verbatim in troff: backslashes escaped, minus signs kept as such, no line
# read as a request.
string(REPLACE "\\" "\\e" USAGE "${USAGE}")
string(REPLACE "-" "\\-" USAGE "${USAGE}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" USAGE "${USAGE}")
string(REGEX REPLACE "\n$" "" USAGE "${USAGE}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
