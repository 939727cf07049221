# Writes the version files (cmake -P, at every build; see Version.cmake).
# In: SOURCE_DIR, GIT (may be empty), VERSION (project version), RELEASE_DATE (YYYY-MM-DD),
# VERSION_FILE, TEMPLATES (a file holding "template|output" pairs separated by ';').
cmake_minimum_required(VERSION 3.25)

set(QAVIX_VERSION ${VERSION})
set(QAVIX_RELEASE_DATE ${RELEASE_DATE})
if(GIT)
  # Only a checkout of this source tree counts: a tarball unpacked inside some other
  # repository must not carry that repository's commit.
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --show-toplevel
                  OUTPUT_VARIABLE top RESULT_VARIABLE failed
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${SOURCE_DIR}" source)
    if(top STREQUAL source)
      execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=7 HEAD
                      OUTPUT_VARIABLE commit RESULT_VARIABLE failed
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(NOT failed AND commit MATCHES "^[0-9a-f]+$")
        set(QAVIX_VERSION "${VERSION}+g${commit}")
      endif()
    endif()
  endif()
endif()

# The Debian changelog's date line (RFC 2822) of the release date, noon UTC; CMake formats
# SOURCE_DATE_EPOCH when it is set, so the days since 1970 are counted here.
string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" matched "${RELEASE_DATE}")
if(NOT matched)
  message(FATAL_ERROR "QAVIX_RELEASE_DATE is not YYYY-MM-DD: ${RELEASE_DATE}")
endif()
math(EXPR y "${CMAKE_MATCH_1}")
math(EXPR m "1${CMAKE_MATCH_2} - 100")
math(EXPR d "1${CMAKE_MATCH_3} - 100")
# Days from civil (proleptic Gregorian), years counted from March.
if(m LESS_EQUAL 2)
  math(EXPR y "${y} - 1")
endif()
math(EXPR era "${y} / 400")
math(EXPR yoe "${y} - ${era} * 400")
if(m GREATER 2)
  math(EXPR mp "${m} - 3")
else()
  math(EXPR mp "${m} + 9")
endif()
math(EXPR doy "(153 * ${mp} + 2) / 5 + ${d} - 1")
math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
math(EXPR days "${era} * 146097 + ${doe} - 719468")
math(EXPR epoch "${days} * 86400 + 43200")
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP QAVIX_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

# Written only when changed, so an unchanged version rebuilds nothing.
set(text "${QAVIX_VERSION}\n")
if(EXISTS ${VERSION_FILE})
  file(READ ${VERSION_FILE} old)
else()
  set(old "")
endif()
if(NOT old STREQUAL text)
  file(WRITE ${VERSION_FILE} "${text}")
endif()

file(READ ${TEMPLATES} pairs)
foreach(pair ${pairs})
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 template)
  list(GET parts 1 output)
  if(output MATCHES "^(.*)\\.gz$")
    # The plain text stays beside the compressed one to tell when it changed.
    set(plain ${CMAKE_MATCH_1})
    configure_file(${template} ${plain} @ONLY)
    if(NOT EXISTS ${output} OR ${plain} IS_NEWER_THAN ${output})
      execute_process(COMMAND gzip -9nc ${plain} OUTPUT_FILE ${output}.part
                      RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "gzip could not compress ${plain}")
      endif()
      file(RENAME ${output}.part ${output})
    endif()
  else()
    configure_file(${template} ${output} @ONLY)
  endif()
endforeach()
