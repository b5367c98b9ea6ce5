# The timing libraries link nothing but the standard library: their
# arithmetic must build and run without any GUI toolkit. Fails the configure
# step if a library (Qt or anything else) has been linked into one of them.
function(zarn_check_engine_links)
  foreach(target zarn_engine zarn_modes)
    if(NOT TARGET ${target})
      continue()
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${target} ${property})
      if(libs)
        message(FATAL_ERROR
          "${target} must link only the standard library, but ${property} is: ${libs}")
      endif()
    endforeach()
  endforeach()
endfunction()
