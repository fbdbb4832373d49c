# What `cmake --install` puts in place, and the Debian packages that `cpack -G DEB` makes of it.
include(GNUInstallDirs)

set(MIBOLAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The programs, each in its package's component: the converter needs neither Qt nor a font.
set(MIBOLAN_PROGRAMS)
foreach(program IN ITEMS mibolan-convert mibolan mibolan-sheet)
  if(TARGET ${program})
    list(APPEND MIBOLAN_PROGRAMS ${program})
  endif()
endforeach()
set(MIBOLAN_COMPONENT_mibolan-convert tools)
set(MIBOLAN_COMPONENT_mibolan program)
set(MIBOLAN_COMPONENT_mibolan-sheet program)
# The packages the components become, and so where each one's documents go.
set(MIBOLAN_PACKAGE_program mibolan)
set(MIBOLAN_PACKAGE_tools mibolan-tools)
set(MIBOLAN_PACKAGE_runtime libmibolan${PROJECT_VERSION_MAJOR})
set(MIBOLAN_PACKAGE_development libmibolan-dev)
set(MIBOLAN_COMPONENTS runtime development)
if(MIBOLAN_PROGRAMS)
  list(PREPEND MIBOLAN_COMPONENTS program tools)
endif()

foreach(program IN LISTS MIBOLAN_PROGRAMS)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${MIBOLAN_COMPONENT_${program}})
endforeach()
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
  mibolan_install_without_comment(${CMAKE_INSTALL_BINDIR}/${program} COMPONENT ${MIBOLAN_COMPONENT_${program}})
endforeach()
mibolan_install_without_comment(${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:mibolan_engine> COMPONENT development)
mibolan_install_without_comment(${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:mibolan_shared> COMPONENT runtime)

# The desktop entries and their icons put the programs in the desktop's menu.
set(MIBOLAN_DESKTOP_PROGRAMS)
if(MIBOLAN_PROGRAMS)
  # The package's menu entry stands even where the window is not built, as the packages test.
  list(APPEND MIBOLAN_DESKTOP_PROGRAMS mibolan)
endif()
if(TARGET mibolan-sheet)
  list(APPEND MIBOLAN_DESKTOP_PROGRAMS mibolan-sheet)
endif()
set(MIBOLAN_ICON_SIZES 16 32 48 64 128 256)
foreach(program IN LISTS MIBOLAN_DESKTOP_PROGRAMS)
  install(FILES ${MIBOLAN_PACKAGING_DIR}/${program}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT program)
  foreach(size IN LISTS MIBOLAN_ICON_SIZES)
    install(FILES ${MIBOLAN_PACKAGING_DIR}/icons/${size}x${size}/${program}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT program)
  endforeach()
endforeach()

# The manual pages carry the project's version; they and the changelog are installed compressed,
# as man and Debian's tools expect them.
set(MIBOLAN_COMPRESSED)
# `source` compressed into `destination`, in each of the components that follow.
function(mibolan_install_compressed source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${source} ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  foreach(component IN LISTS ARGN)
    string(REPLACE @package@ ${MIBOLAN_PACKAGE_${component}} directory ${destination})
    install(FILES ${compressed} DESTINATION ${directory} COMPONENT ${component})
  endforeach()
  set(MIBOLAN_COMPRESSED ${MIBOLAN_COMPRESSED} ${compressed} PARENT_SCOPE)
endfunction()

# Each program has its manual page.
foreach(program IN LISTS MIBOLAN_PROGRAMS)
  configure_file(${MIBOLAN_PACKAGING_DIR}/${program}.1 ${CMAKE_BINARY_DIR}/packaging/${program}.1 @ONLY)
  mibolan_install_compressed(${CMAKE_BINARY_DIR}/packaging/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1
                             ${MIBOLAN_COMPONENT_${program}})
endforeach()
# The sheet's manual page in Chinese too, where man finds it under a Chinese locale.
if(TARGET mibolan-sheet)
  configure_file(${MIBOLAN_PACKAGING_DIR}/mibolan-sheet.zh_CN.1 ${CMAKE_BINARY_DIR}/packaging/zh_CN/mibolan-sheet.1 @ONLY)
  set(zh_manual ${CMAKE_BINARY_DIR}/packaging/zh_CN/mibolan-sheet.1.gz)
  add_custom_command(
    OUTPUT ${zh_manual}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${CMAKE_BINARY_DIR}/packaging/zh_CN/mibolan-sheet.1 ${zh_manual}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/zh_CN/mibolan-sheet.1
    COMMENT "Compressing the Chinese mibolan-sheet.1"
    VERBATIM)
  install(FILES ${zh_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/zh_CN/man1 COMPONENT ${MIBOLAN_COMPONENT_mibolan-sheet})
  list(APPEND MIBOLAN_COMPRESSED ${zh_manual})
endif()
# Named changelog.gz, as for a package made by its own authors; each package has its own copy in
# its own folder, as Debian has it.
mibolan_install_compressed(${MIBOLAN_PACKAGING_DIR}/changelog ${CMAKE_INSTALL_DATADIR}/doc/@package@
                           ${MIBOLAN_COMPONENTS})
add_custom_target(compressed_documents ALL DEPENDS ${MIBOLAN_COMPRESSED})

# The copyright file carries the licences of the data the tables come from: the Unicode data
# of the dictionary, the sources of the word list and the polyphone model, and the stroke outlines.
file(READ ${PROJECT_SOURCE_DIR}/engine/data/UNIHAN-LICENSE.txt MIBOLAN_UNIHAN_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/engine/data/WORDS-LICENSE.txt MIBOLAN_WORDS_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/engine/data/OPENCC-LICENSE.txt MIBOLAN_OPENCC_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/sheet/data/STROKES-LICENSE.txt MIBOLAN_STROKES_LICENSE)
# The project's own licence, without its closing note on the data, which the file itself makes.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE MIBOLAN_LICENSE)
string(REGEX REPLACE "\nThe data files under.*" "\n" MIBOLAN_LICENSE "${MIBOLAN_LICENSE}")
string(REGEX REPLACE "^MIT License\n\n" "" MIBOLAN_LICENSE "${MIBOLAN_LICENSE}")
configure_file(${MIBOLAN_PACKAGING_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
foreach(component IN LISTS MIBOLAN_COMPONENTS)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${MIBOLAN_PACKAGE_${component}} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mibolan)
# Each package's description begins with its own synopsis (see CPackProjectConfig.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackProjectConfig.cmake)
set(MIBOLAN_PROGRAM_DESCRIPTION
    "Hanyu Pinyin with tone marks for Chinese text
Mibolan writes the Hanyu Pinyin reading, with tone marks, of every
Chinese character of a text, for children and other learners of Chinese.
The desktop program converts what is typed or pasted into its window.
mibolan-sheet prints a text as a reading sheet for school: the pinyin on
the four-line staff above each character in its grid square, or a
practice page. The command-line converter comes with mibolan-tools.")
set(MIBOLAN_TOOLS_DESCRIPTION
    "Hanyu Pinyin with tone marks for Chinese text - command-line converter
mibolan-convert writes the Hanyu Pinyin reading, with tone marks, of every
Chinese character of a text: whole files or a pipe, in UTF-8, GBK or
GB18030, as plain pinyin, characters with their readings, tone numbers,
or a printable HTML page with the pinyin above the characters. It reads
character by character or by word. It needs no graphical toolkit and no
font.")
set(MIBOLAN_ENGINE_DESCRIPTION
    "The conversion engine of Mibolan, a C++20 library, converts Chinese text
to Hanyu Pinyin with tone marks in several output styles, reading character
by character or by word, in one call or streamed in pieces, with its
dictionary and word list built in.")
# One package for the windows, one for the converter, and the engine as a library: the shared
# library, and what builds other programs on it.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${MIBOLAN_COMPONENTS})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${MIBOLAN_PACKAGE_program})
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "${MIBOLAN_PROGRAM_DESCRIPTION}")
set(CPACK_COMPONENT_PROGRAM_DEPENDS tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${MIBOLAN_PACKAGE_tools})
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "${MIBOLAN_TOOLS_DESCRIPTION}")
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION text)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${MIBOLAN_PACKAGE_runtime})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Hanyu Pinyin with tone marks for Chinese text - shared library
${MIBOLAN_ENGINE_DESCRIPTION}
This package holds the shared library.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${MIBOLAN_PACKAGE_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Hanyu Pinyin with tone marks for Chinese text - development files
${MIBOLAN_ENGINE_DESCRIPTION}
This package holds the headers, a position-independent static library, a
CMake package (find_package(Mibolan), targets Mibolan::engine and
Mibolan::engine_static), a pkg-config file, the API reference and two
example programs.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mibolan developers")
set(CPACK_PACKAGE_CONTACT "Mibolan developers <mibolan@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/mibolan")
# The shared library's package tells dpkg-shlibdeps what a program linked with it depends on: the
# symbols file (each symbol is of the version node MIBOLAN_5, which every 5.x keeps), written
# whenever the library is linked (engine/CMakeLists.txt), and the shlibs file. ldconfig runs through dpkg's trigger rather than the maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(MIBOLAN_RUNTIME_CONTROL_DIR ${CMAKE_BINARY_DIR}/packaging/${MIBOLAN_PACKAGE_runtime})
file(WRITE ${MIBOLAN_RUNTIME_CONTROL_DIR}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${MIBOLAN_SYMBOLS_FILE} ${MIBOLAN_RUNTIME_CONTROL_DIR}/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackDropLdconfigScripts.cmake)
# dpkg-shlibdeps names the libraries that the binaries link against, the Qt ones among them, with
# their versions; without it they are named here. The font shows the characters, xdg-utils
# opens the web pages that the window links to, and Qt's translations put its menus in Chinese.
# The reading sheet writes its characters in a Kaiti face and its pinyin in a face for
# beginning readers. The converter needs none of them.
find_program(MIBOLAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils")
if(TARGET mibolan OR TARGET mibolan-sheet)
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
