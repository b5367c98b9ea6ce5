# The zip for Windows holds Zarn.exe, zarn-timing.exe, README.txt and
# COPYRIGHT.txt in one folder named after it, and each program runs from
# there alone (run_alone.cmake).
#   cmake -DZIP=... -DPROBE=... -DFOLDER=... [-DEMULATOR=...] [-DOBJDUMP=...] -P zip_check.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ZIP}" WORKING_DIRECTORY "${FOLDER}" RESULT_VARIABLE unpacked)
if(NOT unpacked EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()
get_filename_component(name "${ZIP}" NAME_WLE)
file(GLOB_RECURSE found RELATIVE "${FOLDER}" "${FOLDER}/*")
list(SORT found)
set(expected "${name}/COPYRIGHT.txt;${name}/README.txt;${name}/Zarn.exe;${name}/zarn-timing.exe")
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds ${found}, not ${expected}")
endif()
set(folder "${FOLDER}/${name}")
set(check -DFOLDER=${FOLDER}/alone "-DEMULATOR=${EMULATOR}" -DOBJDUMP=${OBJDUMP} -P ${CMAKE_CURRENT_LIST_DIR}/run_alone.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -DEXE=${folder}/Zarn.exe -DPROBE=${PROBE} ${check} RESULT_VARIABLE zarn)
execute_process(COMMAND ${CMAKE_COMMAND} -DEXE=${folder}/zarn-timing.exe "-DARGS=dmt;0x24;--format;modeline"
                        "-DEXPECT=Modeline \"1280x1024_75.02_[0-9a-f]+\" 135" ${check} RESULT_VARIABLE timing)
if(NOT zarn EQUAL 0 OR NOT timing EQUAL 0)
  message(FATAL_ERROR "a program of ${ZIP} does not run alone")
endif()
