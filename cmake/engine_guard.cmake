# zarn_engine links nothing but the standard library: the timing arithmetic
# must build and run without any GUI toolkit. Fails the configure step if a
# library (Qt or anything else) has been linked into it.
function(zarn_check_engine_links)
  foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(libs zarn_engine ${property})
    if(libs)
      message(FATAL_ERROR
        "zarn_engine must link only the standard library, but ${property} is: ${libs}")
    endif()
  endforeach()
endfunction()
