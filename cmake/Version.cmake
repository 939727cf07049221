# The one version that the programs, the about box, the man pages, the AppStream entry and
# the package show: the project's VERSION and, when built from a git checkout, the commit
# ("1.0.0+g1eb370f"). The commit is looked up at every build, so a new commit shows without
# configuring again; a source tree without git (or a machine without git) gives the plain
# version. Each file below is made from its template with @QAVIX_VERSION@ and
# @QAVIX_RELEASE_DATE@ filled in and rewritten only when its text changes; an output
# ending in .gz is compressed as Debian ships documentation (gzip -9n, no time stamp).
find_package(Git QUIET)
set(QAVIX_VERSION_DIR ${CMAKE_BINARY_DIR}/version)
# The plain text of the version, for scripts and for CPack (read when it packs).
set(QAVIX_VERSION_FILE ${QAVIX_VERSION_DIR}/version.txt)

file(GLOB QAVIX_MAN_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.[1-8])
set(QAVIX_MAN_OUTPUTS)
set(qavix_versioned_pairs
    "${PROJECT_SOURCE_DIR}/src/version/ProgramVersion.cpp.in|${QAVIX_VERSION_DIR}/ProgramVersion.cpp"
    "${PROJECT_SOURCE_DIR}/dist/org.qavix.Qavix.metainfo.xml|${QAVIX_VERSION_DIR}/org.qavix.Qavix.metainfo.xml"
    "${PROJECT_SOURCE_DIR}/dist/debian/changelog|${QAVIX_VERSION_DIR}/changelog.gz")
foreach(page ${QAVIX_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  list(APPEND qavix_versioned_pairs "${page}|${QAVIX_VERSION_DIR}/man/${name}.gz")
  list(APPEND QAVIX_MAN_OUTPUTS ${QAVIX_VERSION_DIR}/man/${name}.gz)
endforeach()

set(qavix_versioned_outputs ${QAVIX_VERSION_FILE})
set(qavix_versioned_sources)
foreach(pair ${qavix_versioned_pairs})
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 template)
  list(GET parts 1 output)
  list(APPEND qavix_versioned_outputs ${output})
  list(APPEND qavix_versioned_sources ${template})
endforeach()
file(WRITE ${QAVIX_VERSION_DIR}/templates.txt "${qavix_versioned_pairs}")

add_custom_target(qavix_version_files ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DGIT=${GIT_EXECUTABLE}
            -DVERSION=${PROJECT_VERSION} -DRELEASE_DATE=${QAVIX_RELEASE_DATE}
            -DVERSION_FILE=${QAVIX_VERSION_FILE} -DTEMPLATES=${QAVIX_VERSION_DIR}/templates.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/VersionFiles.cmake
    BYPRODUCTS ${qavix_versioned_outputs}
    SOURCES ${qavix_versioned_sources}
    COMMENT "Version files"
    VERBATIM)
