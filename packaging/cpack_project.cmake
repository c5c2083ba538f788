# Run by cpack. The arm64 package cannot go through dpkg-shlibdeps on this
# host (no arm64 dpkg database), so its C library floor is read from the
# program itself: the newest GLIBC_ symbol version it needs.
list(FIND CPACK_COMPONENTS_ALL kovrinux _kovrinux)
if(_kovrinux GREATER -1 AND NOT CPACK_DEBIAN_KOVRINUX_PACKAGE_DEPENDS)
  execute_process(COMMAND readelf --version-info --wide ${CPACK_KOVRIN_PROGRAM_DIR}/kovrinux
    OUTPUT_VARIABLE _versions RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "readelf cannot read ${CPACK_KOVRIN_PROGRAM_DIR}/kovrinux")
  endif()
  string(REGEX MATCHALL "Name: GLIBC_[0-9.]+" _names "${_versions}")
  set(_floor 2.17)
  foreach(_name IN LISTS _names)
    string(REPLACE "Name: GLIBC_" "" _v "${_name}")
    if(_v VERSION_GREATER _floor)
      set(_floor ${_v})
    endif()
  endforeach()
  set(CPACK_DEBIAN_KOVRINUX_PACKAGE_DEPENDS "libc6 (>= ${_floor})")
endif()
