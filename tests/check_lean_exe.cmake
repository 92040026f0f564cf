# Checks what users download: the shipped program stays within 256 KB, is
# stripped, carries its manifest (per-monitor DPI awareness, the version 6
# common controls) and the version block of this build, and its link map
# holds none of the runtime parts it does without: the copy-on-write and the
# second string ABI, the C++ library's throw helpers and exception runtime,
# winpthread, MinGW's own printf.
file(SIZE ${PROGRAM} size)
if(size GREATER 262144)
  message(FATAL_ERROR "${PROGRAM} has ${size} bytes, more than 256 KB; bench/size shows where they go")
endif()
execute_process(COMMAND ${NM} ${PROGRAM} OUTPUT_VARIABLE symbols ERROR_VARIABLE symbols)
if(NOT symbols MATCHES "no symbols")
  message(FATAL_ERROR "${PROGRAM} is not stripped:\n${symbols}")
endif()
# The manifest is plain text in the file, the version block's texts wide characters.
file(STRINGS ${PROGRAM} manifest REGEX "PerMonitorV2|true/pm|Microsoft.Windows.Common-Controls|supportedOS")
string(REPLACE "." "\\." version "${VERSION}.0")
file(STRINGS ${PROGRAM} block ENCODING UTF-16LE REGEX "^${version}$")
foreach(text PerMonitorV2 true/pm Microsoft.Windows.Common-Controls supportedOS)
  string(FIND "${manifest}" "${text}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}'s manifest lacks ${text}")
  endif()
endforeach()
if(NOT block)
  message(FATAL_ERROR "${PROGRAM}'s version block lacks ${VERSION}.0")
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
