# Hardening, as Debian builds its packages: the C library's checked string and memory functions
# wherever the compiler optimises (they need it, and the sanitizers check the same things their
# own way), a canary in every function with a buffer on its stack, stack probes that keep a large
# frame from jumping over the guard page, control-flow protection where the processor has it,
# and every symbol bound at start so that the relocations stay read-only.
include(CheckCXXCompilerFlag)
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  # A compiler that sets its own level would warn about a second definition.
  add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "MIBOLAN_HAS${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported})
    add_compile_options(${flag})
  endif()
endforeach()
add_link_options(LINKER:-z,relro LINKER:-z,now)
