# Hardening, as Debian builds its packages: the C library's checked string and memory functions
# wherever the compiler optimises (they need it, and the sanitizers check the same things their
# own way), and every symbol bound at start so that the relocations stay read-only.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  # A compiler that sets its own level would warn about a second definition.
  add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
