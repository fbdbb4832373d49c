# What `cmake --install` puts in place, and the Debian package that `cpack -G DEB` makes of it.
include(GNUInstallDirs)

set(MIBOLAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(MIBOLAN_PROGRAMS mibolan-convert)
foreach(program IN ITEMS mibolan mibolan-sheet)
  if(TARGET ${program})
    list(APPEND MIBOLAN_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${MIBOLAN_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) leaves out the compilers' notes too, as Debian's packages do.
# `file` is relative to the prefix; further arguments go to install(), a COMPONENT among them.
function(mibolan_install_without_comment file)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()" ${ARGN})
endfunction()
foreach(program IN LISTS MIBOLAN_PROGRAMS)
  mibolan_install_without_comment(${CMAKE_INSTALL_BINDIR}/${program})
endforeach()
mibolan_install_without_comment(${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:mibolan_engine> COMPONENT development)

# The desktop entries and their icons put the programs in the desktop's menu.
set(MIBOLAN_DESKTOP_PROGRAMS mibolan)
if(TARGET mibolan-sheet)
  list(APPEND MIBOLAN_DESKTOP_PROGRAMS mibolan-sheet)
endif()
set(MIBOLAN_ICON_SIZES 16 32 48 64 128 256)
foreach(program IN LISTS MIBOLAN_DESKTOP_PROGRAMS)
  install(FILES ${MIBOLAN_PACKAGING_DIR}/${program}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size IN LISTS MIBOLAN_ICON_SIZES)
    install(FILES ${MIBOLAN_PACKAGING_DIR}/icons/${size}x${size}/${program}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
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

# Each program has its manual page.
foreach(program IN LISTS MIBOLAN_PROGRAMS)
  configure_file(${MIBOLAN_PACKAGING_DIR}/${program}.1 ${CMAKE_BINARY_DIR}/packaging/${program}.1 @ONLY)
  mibolan_install_compressed(${CMAKE_BINARY_DIR}/packaging/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# Named changelog.gz, as for a package made by its own authors.
mibolan_install_compressed(${MIBOLAN_PACKAGING_DIR}/changelog ${CMAKE_INSTALL_DATADIR}/doc/mibolan)
add_custom_target(compressed_documents ALL DEPENDS ${MIBOLAN_COMPRESSED})

# The copyright file carries the licences of the data the tables come from: the Unicode data
# of the dictionary, and the sources of the word list and the polyphone model.
file(READ ${PROJECT_SOURCE_DIR}/engine/data/UNIHAN-LICENSE.txt MIBOLAN_UNIHAN_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/engine/data/WORDS-LICENSE.txt MIBOLAN_WORDS_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/engine/data/OPENCC-LICENSE.txt MIBOLAN_OPENCC_LICENSE)
# The project's own licence, without its closing note on the data, which the file itself makes.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE MIBOLAN_LICENSE)
string(REGEX REPLACE "\nThe data files under.*" "\n" MIBOLAN_LICENSE "${MIBOLAN_LICENSE}")
string(REGEX REPLACE "^MIT License\n\n" "" MIBOLAN_LICENSE "${MIBOLAN_LICENSE}")
configure_file(${MIBOLAN_PACKAGING_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
# Named after the package, as Debian has it, rather than after the project.
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mibolan)
# The development package carries the same two files under its own name.
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libmibolan-dev COMPONENT development)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mibolan)
# Each package's description begins with its own synopsis (see CPackProjectConfig.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackProjectConfig.cmake)
set(MIBOLAN_PROGRAM_DESCRIPTION
    "Hanyu Pinyin with tone marks for Chinese text
Mibolan writes the Hanyu Pinyin reading, with tone marks, of every
Chinese character of a text, for children and other learners of Chinese.
The desktop program converts what is typed or pasted into its window;
mibolan-convert converts whole files (UTF-8, GBK or GB18030) to plain
pinyin, characters with their readings, tone numbers, or a printable
HTML page with the pinyin above the characters. mibolan-sheet prints a
text as a reading sheet for school: the pinyin on the four-line staff
above each character in its grid square, or a practice page.")
# One package for the programs, one for building other programs on the engine.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program development)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME mibolan)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "${MIBOLAN_PROGRAM_DESCRIPTION}")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libmibolan-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Hanyu Pinyin with tone marks for Chinese text - development files
The conversion engine of Mibolan as a static C++20 library, with its
headers, a CMake package (find_package(Mibolan), target Mibolan::engine)
and a pkg-config file. It converts Chinese text to Hanyu Pinyin with tone
marks in several output styles, reading character by character or by word,
in one call or streamed in pieces, with its dictionary and word list built
in.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mibolan developers")
set(CPACK_PACKAGE_CONTACT "Mibolan developers <mibolan@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/mibolan")
# dpkg-shlibdeps names the libraries that the binaries link against, the Qt ones among them, with
# their versions; without it they are named here. The font shows the characters, xdg-utils
# opens the web pages that the window links to, and Qt's translations put its menus in Chinese.
# The reading sheet writes its characters in a Kaiti face and its pinyin in a face for
# beginning readers.
find_program(MIBOLAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils")
if(TARGET mibolan)
  string(APPEND CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS ", qt6-translations-l10n")
endif()
if(TARGET mibolan-sheet)
  string(APPEND CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS ", fonts-arphic-ukai, fonts-sil-andika")
endif()
if(MIBOLAN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(PREPEND CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, ")
  if(TARGET mibolan-sheet)
    string(PREPEND CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libqt6printsupport6, ")
  endif()
endif()
include(CPack)
