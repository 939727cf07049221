# The Debian package `qavix` (scripts/package.sh), made by CPack's DEB generator from the
# install rules of Install.cmake, so the package holds exactly what `cmake --install`
# installs. CPack rather than debhelper: the version stays in one place (project(VERSION)
# and the commit, found at build time), the package is built from the same build tree as
# everything else, and nothing is written outside it (dpkg-buildpackage writes its results
# beside the source folder and its state into debian/ inside it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qavix)
set(CPACK_PACKAGE_VENDOR "The Qavix developers")
set(CPACK_PACKAGE_CONTACT "The Qavix developers <qavix@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://qavix.example.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure and monitor an industrial area scanner")
# Lines of at most 72 characters: the control file indents them by one and lintian wants
# them under 80.
set(CPACK_PACKAGE_DESCRIPTION
    "Qavix configures an area scanner controller with up to three
light-curtain sensors over a serial line and shows the received light of
every beam live. It reads and writes the controller's settings and its
four banks, exports and imports banks as files, tunes thresholds, reads
the error log, sets the clock and prints a settings report. The
interface is in Japanese.

The package holds the desktop program qavix, the command-line client
qavixctl, the controller emulator qavix-sim (to try the program without
a controller), the link library they share, a systemd unit that runs
qavixctl monitor to publish a controller's status to an MQTT broker, a
udev rule that gives USB serial adapters to the dialout group, man pages
and the user's manual.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries (dpkg-shlibdeps); the rest is read at run time:
# the Japanese font of every page and the report, Qt's own dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qavixctl's fleet history needs libgit2 (shlibdeps finds it too; named so that it is a
# dependency of the package even if the link changed).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n, libgit2-1.5")
# The example hooks of the fleet backup mail with `mail` and post with `curl`.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bsd-mailx | mailutils, curl")
# Help and the user's manual open in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Maintainer scripts only for what dpkg has no trigger for: udev reads its rules again,
# systemd its units, and the monitor's running instances are restarted on an upgrade and
# stopped on removal (the desktop, MIME, icon and man databases have their triggers).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/dist/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/dist/debian/prerm
                                       ${PROJECT_SOURCE_DIR}/dist/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The version with its commit is known only once a build has run, so CPack reads it then.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackVersion.cmake)
file(WRITE ${CMAKE_BINARY_DIR}/CPackVersion.cmake
     "file(STRINGS \"${QAVIX_VERSION_FILE}\" CPACK_PACKAGE_VERSION LIMIT_COUNT 1)\n"
     "set(CPACK_DEBIAN_PACKAGE_VERSION \"\${CPACK_PACKAGE_VERSION}\")\n")
include(CPack)
