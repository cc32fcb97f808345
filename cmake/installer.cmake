# The setup program of this architecture: the three programs and the manual, built with
# NSIS (makensis) into build/<arch>/quarn-<version>-<arch>-setup.exe.
find_program(QUARN_MAKENSIS makensis)

# Deferred to the end of the configuration, so the windowed program's target is known.
function(quarn_add_installer)
  if(NOT QUARN_MAKENSIS)
    message(STATUS "makensis not found: no setup program (bin/setup installs nsis)")
    return()
  endif()
  set(nsi ${CMAKE_SOURCE_DIR}/installer/quarn.nsi)
  set(doc ${CMAKE_SOURCE_DIR}/doc/quarn.html)
  set(out ${CMAKE_BINARY_DIR}/quarn-${PROJECT_VERSION}-${QUARN_ARCH}-setup.exe)
  set(defs -DARCH=${QUARN_ARCH} -DVERSION=${PROJECT_VERSION} -DBINDIR=${CMAKE_BINARY_DIR}/bin
    -DDOCDIR=${CMAKE_SOURCE_DIR}/doc -DOUTFILE=${out})
  # a program the build makes is required; one it does not make yet is left out
  set(progs quarn quarnw-shex)
  if(TARGET quarnw)
    list(APPEND progs quarnw)
    list(APPEND defs -DHAVE_QUARNW)
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${QUARN_MAKENSIS} -V2 -WX ${defs} ${nsi}
    DEPENDS ${nsi} ${doc} ${progs}
    COMMENT "Building the setup program quarn-${PROJECT_VERSION}-${QUARN_ARCH}-setup.exe"
    VERBATIM)
  add_custom_target(setup ALL DEPENDS ${out})
endfunction()
cmake_language(DEFER CALL quarn_add_installer)
