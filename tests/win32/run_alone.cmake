# A program copied alone into an empty folder starts, and imports nothing but
# libraries every Windows system has: a windowed one shows its window (PROBE
# waits for it); a console one, run with ARGS, prints what matches EXPECT.
#   cmake -DEXE=... (-DPROBE=... | -DARGS=... -DEXPECT=...) -DFOLDER=... [-DEMULATOR=...] [-DOBJDUMP=...]
#         -P run_alone.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(name "${EXE}" NAME)

if(OBJDUMP)
  execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE headers RESULT_VARIABLE read)
  if(NOT read EQUAL 0)
    message(FATAL_ERROR "cannot read the imports of ${EXE}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
  set(system advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll)
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system)
      message(FATAL_ERROR "${name} needs ${dll}, which Windows does not have")
    endif()
  endforeach()
  if(NOT imports)
    message(FATAL_ERROR "no imports found in ${EXE}")
  endif()
endif()

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
file(COPY "${EXE}" DESTINATION "${FOLDER}")
set(program "${FOLDER}/${name}")
if(EMULATOR)
  # Wine sees the Linux file system as drive Z:.
  string(REPLACE "/" "\\" program "Z:${program}")
endif()
if(NOT PROBE)
  execute_process(COMMAND ${EMULATOR} "${program}" ${ARGS} RESULT_VARIABLE ran OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT ran EQUAL 0 OR NOT out MATCHES "${EXPECT}")
    message(FATAL_ERROR "${name} alone, run with ${ARGS}, printed:\n${out}")
  endif()
  message(STATUS "${out}")
  return()
endif()
execute_process(COMMAND ${EMULATOR} "${PROBE}" 1 "${program}" RESULT_VARIABLE started OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT started EQUAL 0)
  message(FATAL_ERROR "${name} alone did not show its window:\n${out}")
endif()
message(STATUS "${out}")
