# Turns the user's manual from Markdown into one HTML page (cmake -P).
# In: MARKDOWN (the converter), SOURCE (index.md), TEMPLATE (page.html.in), LANG (the
# page's language, "ja"), OUTPUT. The page's title is the manual's first heading.
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
file(STRINGS ${SOURCE} heading LIMIT_COUNT 1 ENCODING UTF-8)
string(REGEX REPLACE "^# *" "" title "${heading}")
string(REPLACE "@LANG@" "${LANG}" head "${head}")
string(REPLACE "@TITLE@" "${title}" head "${head}")
# Written beside the target and renamed: a failed run leaves no half page behind.
file(WRITE ${OUTPUT}.tmp "${head}")
file(APPEND ${OUTPUT}.tmp "${body}")
file(APPEND ${OUTPUT}.tmp "${tail}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
