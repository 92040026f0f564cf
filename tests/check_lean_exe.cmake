# Checks that the shipped program stays within 256 KB and that its link map
# holds none of the runtime parts it does without: the copy-on-write and the
# second string ABI, the C++ library's throw helpers and exception runtime,
# winpthread, MinGW's own printf.
file(SIZE ${PROGRAM} size)
if(size GREATER 262144)
  message(FATAL_ERROR "${PROGRAM} has ${size} bytes, more than 256 KB; bench/size shows where they go")
endif()
file(READ ${PROGRAM}.map map)
foreach(member "libstdc\\+\\+\\.a\\((cow-)?string-inst\\.o\\)" "libstdc\\+\\+\\.a\\(functexcept\\.o\\)"
    "libstdc\\+\\+\\.a\\(eh_[a-z_]+\\.o\\)" "libwinpthread_la-[a-z]+\\.o" "mingw_pformatw?\\.o")
  # The map names a member that a reference brought in, and the reference on the next line.
  string(REGEX MATCH "[^\n]*${member}[^\n]*\n[^\n]*" lines "${map}")
  if(lines)
    message(FATAL_ERROR "${PROGRAM} links what it does without:\n${lines}")
  endif()
endforeach()
message("${PROGRAM}: ${size} bytes")
