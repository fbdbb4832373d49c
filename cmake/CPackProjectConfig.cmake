# Read by cpack after the generated configuration. Each Debian package's description begins with
# its own synopsis; CPack would put the project's one summary in front of both unless the summary
# is CPack's default, so it is made that for the packages.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CPACK_DEFAULT_PACKAGE_DESCRIPTION_SUMMARY}")
