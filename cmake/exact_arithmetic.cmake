# zarn_exact_arithmetic(<target>): every figure is the IEEE result of each
# operation as written: no fused multiply-add, no excess precision.
function(zarn_exact_arithmetic target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /fp:precise)
  else()
    target_compile_options(${target} PRIVATE -ffp-contract=off)
  endif()
endfunction()
