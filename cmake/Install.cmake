# `cmake --install build --prefix P`: the programs, the link library where they find it
# (LinkLibrary.h: ../lib/qavix from the executables), and what a Linux desktop expects:
# desktop entries, icons, the MIME type of bank files, AppStream metainfo, the udev rule for
# serial adapters, the man pages, the user's manual, the monitor's service unit, and the
# copyright and changelog that a Debian package carries (scripts/package.sh packs exactly
# what these rules install).
include(GNUInstallDirs)

set(QAVIX_DIST ${PROJECT_SOURCE_DIR}/dist)
set(QAVIX_ICONS ${PROJECT_SOURCE_DIR}/src/gui/res/icons)

foreach(program qavix qavixctl qavix-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET qavlink)
  install(TARGETS qavlink LIBRARY DESTINATION lib/qavix)
endif()

install(FILES ${QAVIX_DIST}/qavix.desktop ${QAVIX_DIST}/qavix-bank.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QAVIX_DIST}/qavix-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME qavix.xml)
# The metainfo and the man pages carry the version (cmake/Version.cmake).
install(FILES ${QAVIX_VERSION_DIR}/org.qavix.Qavix.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QAVIX_ICONS}/qavix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${QAVIX_ICONS}/qavix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME qavix.png)
endforeach()
# Rules under the prefix, as packages ship them (/usr/lib/udev/rules.d).
install(FILES ${QAVIX_DIST}/60-qavix-serial.rules DESTINATION lib/udev/rules.d)
foreach(page ${QAVIX_MAN_OUTPUTS})
  string(REGEX MATCH "\\.([1-8])\\.gz$" section_match ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${CMAKE_MATCH_1})
endforeach()
install(FILES ${QAVIX_DIST}/debian/copyright ${QAVIX_VERSION_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix)
install(FILES ${QAVIX_DIST}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME qavix)
# The plant monitor as a service: a template unit per controller, its example configuration
# and the description of its topics.
install(FILES ${QAVIX_DIST}/qavix-monitor@.service DESTINATION lib/systemd/system)
install(FILES ${QAVIX_DIST}/monitor.conf.example ${PROJECT_SOURCE_DIR}/docs/monitor.md
        ${PROJECT_SOURCE_DIR}/docs/settings-text.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix)
# The scheduled fleet backup into git: a timer and service template per plant, its example
# configuration, the description of the history and the two example hooks.
install(FILES ${QAVIX_DIST}/qavix-fleet-backup@.service ${QAVIX_DIST}/qavix-fleet-backup@.timer
        DESTINATION lib/systemd/system)
install(FILES ${QAVIX_DIST}/fleet-backup.conf.example ${PROJECT_SOURCE_DIR}/docs/fleet-history.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix)
install(PROGRAMS ${QAVIX_DIST}/hooks/fleet-mail-hook ${QAVIX_DIST}/hooks/fleet-webhook-hook
        DESTINATION ${CMAKE_INSTALL_DATADIR}/qavix/hooks)
# The plant file of qavixctl's fleet commands, which the man page points to.
install(FILES ${PROJECT_SOURCE_DIR}/docs/plant.md ${PROJECT_SOURCE_DIR}/docs/plant-view.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix)
# The change journal and the configuration fingerprint, which the man page points to.
install(FILES ${PROJECT_SOURCE_DIR}/docs/journal.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix)

# The manual: built beside the programs at the path the installation gives it, so the
# program finds it from the build tree too (bin/../share/doc/qavix/manual). Japanese at the
# top, each translation in a folder of its language (docs/manual/en/index.md: manual/en/).
find_program(QAVIX_MARKDOWN NAMES markdown_py)
set(QAVIX_MANUAL_DIR ${CMAKE_BINARY_DIR}/share/doc/qavix/manual)
if(QAVIX_MARKDOWN)
  file(GLOB manual_translations CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual/*/index.md)
  set(manual_pages)
  foreach(source ${PROJECT_SOURCE_DIR}/docs/manual/index.md ${manual_translations})
    get_filename_component(folder ${source} DIRECTORY)
    file(RELATIVE_PATH language ${PROJECT_SOURCE_DIR}/docs/manual ${folder})
    set(page_language ${language})
    if(language STREQUAL "")
      set(page_language ja)
    endif()
    set(page_dir ${QAVIX_MANUAL_DIR}/${language})
    add_custom_command(
      OUTPUT ${page_dir}/index.html
      COMMAND ${CMAKE_COMMAND} -E make_directory ${page_dir}
      COMMAND ${CMAKE_COMMAND} -DMARKDOWN=${QAVIX_MARKDOWN} -DSOURCE=${source}
              -DTEMPLATE=${PROJECT_SOURCE_DIR}/docs/manual/page.html.in -DLANG=${page_language}
              -DOUTPUT=${page_dir}/index.html -P ${PROJECT_SOURCE_DIR}/cmake/ManualHtml.cmake
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/docs/manual/page.html.in
              ${PROJECT_SOURCE_DIR}/cmake/ManualHtml.cmake
      COMMENT "User's manual (HTML, ${page_language})")
    list(APPEND manual_pages ${page_dir}/index.html)
    install(FILES ${page_dir}/index.html
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qavix/manual/${language})
  endforeach()
  add_custom_target(manual ALL DEPENDS ${manual_pages})
else()
  message(WARNING "markdown_py (Debian python3-markdown) not found: the user's manual is not built")
endif()
