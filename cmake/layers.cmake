# Layers that hold by construction. Each library exports an include root of
# its own under the build tree, holding links to just its public headers at
# their repository paths ("engine/timing.h"). A target therefore sees only the
# headers of itself and of the libraries it links: an include across the
# layers (the engine including a window header, a controller including a
# window or Qt) does not compile.
#
# zarn_export_headers(<target> <path>...): each path is a header or a folder,
# relative to the repository root.
function(zarn_export_headers target)
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  foreach(path IN LISTS ARGN)
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${path})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
