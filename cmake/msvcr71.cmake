# Links a target against MSVCR71.dll instead of MSVCRT.dll, through a specs
# file made from the compiler's own with -lmsvcrt replaced by -lmsvcr71; the
# headers then declare only what MSVCR71.dll exports.
function(kitpack_link_msvcr71 target)
  set(_specs ${CMAKE_BINARY_DIR}/msvcr71.specs)
  if(NOT TARGET kitpack_msvcr71_specs)
    add_custom_command(OUTPUT ${_specs}
      COMMAND ${CMAKE_SOURCE_DIR}/cmake/msvcr71-specs.sh ${CMAKE_C_COMPILER} ${_specs}
      DEPENDS ${CMAKE_SOURCE_DIR}/cmake/msvcr71-specs.sh)
    add_custom_target(kitpack_msvcr71_specs DEPENDS ${_specs})
  endif()
  add_dependencies(${target} kitpack_msvcr71_specs)
  target_compile_definitions(${target} PRIVATE __MSVCRT_VERSION__=0x0710)
  target_link_options(${target} PRIVATE -specs=${_specs})
endfunction()
