# Installation (cmake --install) and the Debian package (cpack -G DEB):
# the three programs, the read-me, the desktop entry with its file type and
# icons, the AppStream metadata, the manual pages and the documentation.
include(GNUInstallDirs)
set(KQ_ID org.kqserial.kqprogrammer)
set(KQ_PKG ${CMAKE_CURRENT_LIST_DIR})
set(KQ_MAINTAINER "KQ Programmer Team <kqprogrammer@kqserial.org>")
set(KQ_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kqprogrammer)

# The changelog's newest entry is the release: its version must be the
# project's, and its date is the one the metadata and manual pages carry.
file(STRINGS ${KQ_PKG}/changelog KQ_CHANGELOG_HEAD LIMIT_COUNT 1)
file(STRINGS ${KQ_PKG}/changelog KQ_CHANGELOG_SIGNED REGEX "^ -- ")
list(GET KQ_CHANGELOG_SIGNED 0 KQ_CHANGELOG_SIGNED)
if(NOT KQ_CHANGELOG_HEAD MATCHES "^kqprogrammer \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${KQ_CHANGELOG_HEAD}', not version ${PROJECT_VERSION}")
endif()
string(REGEX REPLACE "^.*>  " "" KQ_RELEASE_STAMP "${KQ_CHANGELOG_SIGNED}")
execute_process(COMMAND date -u -d "${KQ_RELEASE_STAMP}" +%Y-%m-%d OUTPUT_VARIABLE KQ_RELEASE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d "${KQ_RELEASE_STAMP}" +%s OUTPUT_VARIABLE KQ_RELEASE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KQ_PKG}/changelog README.md)

install(TARGETS kqprogrammer kqtool kqradio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package, `cmake --install --strip`) also drops the
# compiler's version notes, as Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program kqprogrammer kqtool kqradio)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
# The read-me viewer looks here (relative to bin/) when the file is not beside the program.
install(FILES src/app/KQreadme.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/kqprogrammer)
install(FILES ${KQ_PKG}/${KQ_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KQ_PKG}/kqprogrammer-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kqprogrammer.xml)
configure_file(${KQ_PKG}/${KQ_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${KQ_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${KQ_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
include(${KQ_PKG}/completion/Completion.cmake)

# Icons: the SVG is the one drawing; menus that want bitmaps get PNGs made from it.
find_program(KQ_RSVG_CONVERT rsvg-convert REQUIRED)
install(FILES ${KQ_PKG}/${KQ_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(KQ_ICONS)
foreach(size 48 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${KQ_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${KQ_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${KQ_PKG}/${KQ_ID}.svg
    DEPENDS ${KQ_PKG}/${KQ_ID}.svg VERBATIM)
  list(APPEND KQ_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages are made from each program's own --help, so they say what the
# program does; the sections --help has no room for come from packaging/man.
# They are installed compressed, as man(1) and Debian expect them. In a
# sanitizer build a leak report at exit would fail the page: leaks are the
# tests' business.
find_program(KQ_HELP2MAN help2man REQUIRED)
find_program(KQ_GZIP gzip REQUIRED)
set(KQ_MANPAGES)
foreach(page kqprogrammer kqtool kqradio)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.1)
  add_custom_command(OUTPUT ${out}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KQ_RELEASE_EPOCH} QT_QPA_PLATFORM=offscreen COLUMNS=80
            ASAN_OPTIONS=detect_leaks=0
            ${KQ_HELP2MAN} --no-info --no-discard-stderr --section=1 "--source=kqprogrammer ${PROJECT_VERSION}"
            --version-string=${PROJECT_VERSION} --include=${KQ_PKG}/man/${page}.h2m --output=${out}
            $<TARGET_FILE:${page}>
    COMMAND ${KQ_GZIP} -9nf ${out}
    DEPENDS ${page} ${KQ_PKG}/man/${page}.h2m VERBATIM)
  list(APPEND KQ_MANPAGES ${out}.gz)
endforeach()
install(FILES ${KQ_MANPAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Documentation: the read-me (its links into docs/ made to point beside it),
# the guide with its pictures, the licence, and the Debian copyright and changelog.
file(READ README.md KQ_README)
string(REPLACE "](docs/" "](" KQ_README "${KQ_README}")
file(WRITE ${CMAKE_BINARY_DIR}/doc/README.md "${KQ_README}")
set(KQ_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${KQ_CHANGELOG_GZ}
  COMMAND ${KQ_GZIP} -9nc ${KQ_PKG}/changelog > ${KQ_CHANGELOG_GZ}
  DEPENDS ${KQ_PKG}/changelog)
install(FILES ${CMAKE_BINARY_DIR}/doc/README.md docs/kqprogrammer.png docs/guide.md ${KQ_PKG}/copyright
              ${KQ_CHANGELOG_GZ} DESTINATION ${KQ_DOCDIR})
install(DIRECTORY docs/images DESTINATION ${KQ_DOCDIR} FILES_MATCHING PATTERN "*.png")
install(FILES LICENSE DESTINATION ${KQ_DOCDIR})

add_custom_target(package_files ALL DEPENDS ${KQ_ICONS} ${KQ_MANPAGES} ${KQ_CHANGELOG_GZ})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kqprogrammer)
set(CPACK_PACKAGE_VENDOR "KQ Programmer Team")
set(CPACK_PACKAGE_CONTACT "${KQ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KQ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kqserial.org/kqprogrammer/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for the channel tables of KQ two-way radios")
set(CPACK_PACKAGE_DESCRIPTION "Prepares, prints, reads and writes the 16-channel tables of the KQ-0153,
KQ-0253, KQ-0353 and KQ-0453 radios over a 9600-baud serial cable, keeping
them in .KQ channel files. With kqtool for the command line and kqradio, a
radio emulator on a pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Library dependencies come from dpkg-shlibdeps; the printout's Courier New
# is best matched by Liberation Mono.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
# cpack and install take the tree as built (./build.sh builds first), so the
# package test can run beside the others without relinking their programs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
include(CPack)
