# zarn's command line needs no display: with DISPLAY, WAYLAND_DISPLAY and
# QT_QPA_PLATFORM gone, --help and --version print and end with 0, a mistake
# is told on standard error with 2, and nothing aborts.
#   cmake -DZARN=PATH -DVERSION=X.Y.Z -P command_line_without_display.cmake
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
set(cases 0)
set(failures 0)

# expect(STATUS STDOUT_REGEX STDERR_REGEX ARGUMENT...)
function(expect status out err)
  execute_process(COMMAND ${ZARN} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  list(JOIN ARGN " " shown)
  math(EXPR cases "${cases} + 1")
  set(cases ${cases} PARENT_SCOPE)
  if(NOT result STREQUAL status OR NOT stdout MATCHES "${out}" OR NOT stderr MATCHES "${err}")
    message("zarn ${shown}: ended with '${result}', expected ${status}\n--- stdout\n${stdout}--- stderr\n${stderr}---")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

expect(0 "^Usage: [^\n]*zarn \\[options\\]\n.*\n  --timings +Open the Standard Timings window" "^$" --help)
expect(0 "^Zarn ${VERSION}\n$" "^$" --version)
expect(2 "^$" "^Zarn: Unknown option 'bogus'\\.\n$" --bogus)
expect(2 "^$" "^zarn: unexpected argument 'extra'; see zarn --help\\.\n$" --timings extra)
# Qt's own options are left to Qt, as when the windows open.
expect(0 "^Zarn ${VERSION}\n$" "^$" -platform xcb --style=Fusion -reverse --version)
expect(0 "\n  --timings .*\n  --platform <platformName" "" --help-all)

math(EXPR passed "${cases} - ${failures}")
message("${passed} passed, ${failures} failed")
if(failures)
  message(FATAL_ERROR "zarn's command line needs a display or answers wrongly")
endif()
