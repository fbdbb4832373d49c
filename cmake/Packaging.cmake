# What `cmake --install` puts in place, and the Debian package that `cpack -G DEB` makes of it.
include(GNUInstallDirs)

set(MIBOLAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS mibolan-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET mibolan)
  install(TARGETS mibolan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The desktop entry and its icon put the program in the desktop's menu.
install(FILES ${MIBOLAN_PACKAGING_DIR}/mibolan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(MIBOLAN_ICON_SIZES 16 32 48 64 128 256)
foreach(size IN LISTS MIBOLAN_ICON_SIZES)
  install(FILES ${MIBOLAN_PACKAGING_DIR}/icons/${size}x${size}/mibolan.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages are installed compressed, as man and Debian's tools expect them.
set(MIBOLAN_MANUAL ${CMAKE_BINARY_DIR}/packaging/mibolan-convert.1.gz)
add_custom_command(
  OUTPUT ${MIBOLAN_MANUAL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${MIBOLAN_PACKAGING_DIR}/mibolan-convert.1 ${MIBOLAN_MANUAL}
  DEPENDS ${MIBOLAN_PACKAGING_DIR}/mibolan-convert.1
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(manual ALL DEPENDS ${MIBOLAN_MANUAL})
install(FILES ${MIBOLAN_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file carries the licence of the Unicode data that the dictionary comes from.
file(READ ${PROJECT_SOURCE_DIR}/engine/data/UNIHAN-LICENSE.txt MIBOLAN_UNIHAN_LICENSE)
configure_file(${MIBOLAN_PACKAGING_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
# Named after the package, as Debian has it, rather than after the project.
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mibolan)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mibolan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mibolan developers")
set(CPACK_PACKAGE_CONTACT "Mibolan developers <mibolan@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hanyu Pinyin with tone marks for Chinese text")
set(CPACK_PACKAGE_DESCRIPTION
    "Mibolan writes the Hanyu Pinyin reading, with tone marks, of every
Chinese character of a text, for children and other learners of Chinese.
The desktop program converts what is typed or pasted into its window;
mibolan-convert converts whole files (UTF-8, GBK or GB18030) to plain
pinyin, characters with their readings, tone numbers, or a printable
HTML page with the pinyin above the characters.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/mibolan")
# dpkg-shlibdeps names the libraries that the binaries link against, the Qt ones among them, with
# their versions; without it they are named here. The font shows the characters, xdg-utils
# opens the web pages that the window links to, and Qt's translations put its menus in Chinese.
find_program(MIBOLAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils")
if(TARGET mibolan)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-translations-l10n")
endif()
if(MIBOLAN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, ")
endif()
include(CPack)
