# Turns the user's manual from Markdown into one HTML page (cmake -P).
# In: MARKDOWN (the converter), SOURCE (index.md), TEMPLATE (page.html.in), OUTPUT.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${MARKDOWN} -x tables -e utf-8 ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${MARKDOWN} could not convert ${SOURCE}")
endif()
# The page is written in three pieces so nothing in the text is read as CMake syntax.
file(READ ${TEMPLATE} page)
string(FIND "${page}" "@BODY@" at)
string(SUBSTRING "${page}" 0 ${at} head)
math(EXPR rest "${at} + 6")
string(SUBSTRING "${page}" ${rest} -1 tail)
file(WRITE ${OUTPUT} "${head}")
file(APPEND ${OUTPUT} "${body}")
file(APPEND ${OUTPUT} "${tail}")
