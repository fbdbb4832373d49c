# What `cmake --install` puts in place, and the Debian package that `cpack -G DEB` makes of it.
include(GNUInstallDirs)

set(MIBOLAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(MIBOLAN_PROGRAMS mibolan-convert)
if(TARGET mibolan)
  list(APPEND MIBOLAN_PROGRAMS mibolan)
endif()
install(TARGETS ${MIBOLAN_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) leaves out the compilers' notes too, as Debian's packages do.
foreach(program IN LISTS MIBOLAN_PROGRAMS)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()

# The desktop entry and its icon put the program in the desktop's menu.
install(FILES ${MIBOLAN_PACKAGING_DIR}/mibolan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(MIBOLAN_ICON_SIZES 16 32 48 64 128 256)
foreach(size IN LISTS MIBOLAN_ICON_SIZES)
  install(FILES ${MIBOLAN_PACKAGING_DIR}/icons/${size}x${size}/mibolan.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual pages carry the project's version; they and the changelog are installed compressed,
# as man and Debian's tools expect them.
set(MIBOLAN_COMPRESSED)
function(mibolan_install_compressed source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${source} ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  install(FILES ${compressed} DESTINATION ${destination})
  set(MIBOLAN_COMPRESSED ${MIBOLAN_COMPRESSED} ${compressed} PARENT_SCOPE)
endfunction()

set(MIBOLAN_MANUAL_PAGES mibolan-convert.1)
if(TARGET mibolan)
  list(APPEND MIBOLAN_MANUAL_PAGES mibolan.1)
endif()
foreach(page IN LISTS MIBOLAN_MANUAL_PAGES)
  configure_file(${MIBOLAN_PACKAGING_DIR}/${page} ${CMAKE_BINARY_DIR}/packaging/${page} @ONLY)
  mibolan_install_compressed(${CMAKE_BINARY_DIR}/packaging/${page} ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# Named changelog.gz, as for a package made by its own authors.
mibolan_install_compressed(${MIBOLAN_PACKAGING_DIR}/changelog ${CMAKE_INSTALL_DATADIR}/doc/mibolan)
add_custom_target(compressed_documents ALL DEPENDS ${MIBOLAN_COMPRESSED})

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
# their versions; without it they are named here. The font shows the characters, and xdg-utils
# opens the web pages that the window links to.
find_program(MIBOLAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils")
if(MIBOLAN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, ")
endif()
include(CPack)
