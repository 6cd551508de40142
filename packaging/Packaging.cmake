# Installation (cmake --install) and the Debian package (cpack -G DEB):
# the three programs, the read-me, the desktop entry with its file type and
# icon, the AppStream metadata and the manual pages.
include(GNUInstallDirs)
set(KQ_ID org.kqserial.kqprogrammer)
set(KQ_PKG ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS kqprogrammer kqtool kqradio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The read-me viewer looks here (relative to bin/) when the file is not beside the program.
install(FILES src/app/KQreadme.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/kqprogrammer)
install(FILES ${KQ_PKG}/${KQ_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KQ_PKG}/kqprogrammer-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kqprogrammer.xml)
install(FILES ${KQ_PKG}/${KQ_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KQ_PKG}/${KQ_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
include(${KQ_PKG}/completion/Completion.cmake)

# Manual pages are installed compressed, as man(1) and Debian expect them.
find_program(KQ_GZIP gzip REQUIRED)
set(KQ_MANPAGES)
foreach(page kqprogrammer kqtool kqradio)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.1)
  add_custom_command(OUTPUT ${out}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${KQ_PKG}/man/${page}.1 ${out}
    COMMAND ${KQ_GZIP} -9nf ${out}
    DEPENDS ${KQ_PKG}/man/${page}.1 VERBATIM)
  list(APPEND KQ_MANPAGES ${out}.gz)
endforeach()
add_custom_target(manpages ALL DEPENDS ${KQ_MANPAGES})
install(FILES ${KQ_MANPAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kqprogrammer)
set(CPACK_PACKAGE_VENDOR "KQ Serial PC Programmer developers")
set(CPACK_PACKAGE_CONTACT "KQ Serial PC Programmer developers")
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
include(CPack)
