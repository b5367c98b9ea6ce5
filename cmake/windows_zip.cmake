# The zip for Windows users: Zarn.exe, zarn-timing.exe (without its symbols),
# README.txt and COPYRIGHT.txt in a folder named after the version, the texts
# with Windows line ends.
#   cmake -DZIP=... -DSTRIP=... -DZARN=Zarn.exe -DTIMING=zarn-timing.exe -DREADME=... -DLICENCE=...
#         -DVERSION=1.0.0 -DOUT=Zarn-1.0.0-win64.zip -P windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(out_dir "${OUT}" DIRECTORY)
get_filename_component(name "${OUT}" NAME_WLE)
set(stage "${out_dir}/${name}.stage")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${OUT}")
set(folder "${stage}/${name}")
file(MAKE_DIRECTORY "${folder}")
file(COPY_FILE "${ZARN}" "${folder}/Zarn.exe")
execute_process(COMMAND "${STRIP}" -o "${folder}/zarn-timing.exe" "${TIMING}" RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "cannot strip ${TIMING}")
endif()
foreach(text README LICENCE)
  file(READ "${${text}}" content)
  string(CONFIGURE "${content}" content @ONLY)
  string(REPLACE "\n" "\r\n" content "${content}")
  set(target README.txt)
  if(text STREQUAL "LICENCE")
    set(target COPYRIGHT.txt)
  endif()
  file(WRITE "${folder}/${target}" "${content}")
endforeach()
# -X: no file system extras, only names, dates and contents.
execute_process(COMMAND "${ZIP}" -X -q -r "${OUT}" "${name}" WORKING_DIRECTORY "${stage}" RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "zip failed making ${OUT}")
endif()
file(REMOVE_RECURSE "${stage}")
