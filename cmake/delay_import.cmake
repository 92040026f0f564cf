# Makes a delay-import library for one DLL out of the toolchain's import
# library: the same names, but the DLL is loaded at the first call of one of
# them instead of at start-up.
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=... -DDLL=comctl32.dll
#         -DSYMBOL_PREFIX=(_ on 32-bit, else empty) -DOUTPUT=... -P delay_import.cmake
execute_process(COMMAND ${NM} --defined-only ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  if(line MATCHES " __imp_${SYMBOL_PREFIX}([^ ]+)$")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
list(REMOVE_DUPLICATES names)
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "no imports found in ${IMPORT_LIBRARY}")
endif()
list(JOIN names "\n" exports)
file(WRITE ${OUTPUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
# 32-bit names carry their argument size (Name@8); the DLL exports them bare.
set(kill_at "")
if(SYMBOL_PREFIX)
  set(kill_at --kill-at)
endif()
execute_process(COMMAND ${DLLTOOL} ${kill_at} --input-def ${OUTPUT}.def --dllname ${DLL} --output-delaylib ${OUTPUT}
  COMMAND_ERROR_IS_FATAL ANY)
