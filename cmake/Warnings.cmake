# One set of warnings for every target of the project.
function(mibolan_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual)
  if(MIBOLAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
