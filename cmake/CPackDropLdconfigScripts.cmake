# Run by cpack after it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS). CPack gives a
# package with a shared library in /usr/lib maintainer scripts that only call ldconfig; the
# shared library's package has dpkg's ldconfig trigger instead, as Debian's own library packages
# do, so the scripts go: the package is unpacked, they are removed, and it is built again.
find_program(MIBOLAN_DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${package} NAME)
  if(NOT name MATCHES "^libmibolan[0-9]+_.*\\.deb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${MIBOLAN_DPKG_DEB} --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND ${MIBOLAN_DPKG_DEB} --root-owner-group --build ${tree} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
