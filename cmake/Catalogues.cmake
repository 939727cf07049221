# The message catalogues of the Qt-free side (core, ports, link, qavixctl, qavix-sim): each
# po/<language>.po made into share/locale/<language>/LC_MESSAGES/qavix.mo with Debian's
# gettext tools, in the build tree where the programs find it (core/i18n: ../share/locale
# from bin/) and at the same place under the installation prefix. msgfmt --check refuses a
# catalogue whose header or %-placeholders are broken.
find_program(QAVIX_MSGFMT msgfmt REQUIRED)
find_program(QAVIX_XGETTEXT xgettext REQUIRED)
find_program(QAVIX_MSGCMP msgcmp REQUIRED)

set(QAVIX_PO_DIR ${PROJECT_SOURCE_DIR}/po)
set(QAVIX_LOCALE_DIR ${CMAKE_BINARY_DIR}/share/locale)
file(GLOB QAVIX_PO_FILES CONFIGURE_DEPENDS ${QAVIX_PO_DIR}/*.po)
set(QAVIX_CATALOGUES)
foreach(po ${QAVIX_PO_FILES})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${QAVIX_LOCALE_DIR}/${language}/LC_MESSAGES/qavix.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QAVIX_LOCALE_DIR}/${language}/LC_MESSAGES
    COMMAND ${QAVIX_MSGFMT} --check -o ${mo}.tmp ${po}
    COMMAND ${CMAKE_COMMAND} -E rename ${mo}.tmp ${mo}
    DEPENDS ${po}
    COMMENT "Message catalogue ${language}")
  list(APPEND QAVIX_CATALOGUES ${mo})
  if(NOT QAVIX_CORE_ONLY)
    install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_DATADIR}/locale/${language}/LC_MESSAGES)
  endif()
endforeach()
add_custom_target(catalogues ALL DEPENDS ${QAVIX_CATALOGUES})

# Every text of the sources has its entry in the template and a finished translation in each
# catalogue (po/catalogue.sh check: xgettext over src/, then msgcmp).
if(QAVIX_BUILD_TESTS)
  add_test(NAME catalogue.complete COMMAND ${QAVIX_PO_DIR}/catalogue.sh check)
endif()
