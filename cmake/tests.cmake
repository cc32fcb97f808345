# GoogleTest from the distribution's source, built with the cross toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Tests run under Wine in a prefix of this build directory.
set(QUARN_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run)
set(QUARN_TEST_ENV "QUARN_WINEPREFIX=${QUARN_WINEPREFIX}" "QUARN_SRC=${CMAKE_SOURCE_DIR}" "QUARN_BIN=${CMAKE_BINARY_DIR}/bin")

# tests/<dir>/test_<name>.cpp becomes the executable test_<dir>_<name>;
# tests/<dir>/<name>_helper.cpp files are linked into every test of that folder
foreach(dir err c ds rex fio ex txr quarn xrm syscfg sm ntf cmd ui fm dnd quarnw)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/test_*.cpp ${CMAKE_SOURCE_DIR}/tests/${dir}/win32/test_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*_helper.cpp)
  foreach(t ${tests})
    get_filename_component(n ${t} NAME_WE)
    string(REGEX REPLACE "^test_" "" n ${n})
    set(exe test_${dir}_${n})
    add_executable(${exe} ${t} ${helpers})
    list(APPEND QUARN_TEST_EXES ${exe})
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${exe} PRIVATE gtest_main gtest ${QUARN_LINK})
    # a test's own resources (dialog templates) sit beside it as test_<name>.rc
    get_filename_component(tdir ${t} DIRECTORY)
    if(EXISTS ${tdir}/test_${n}.rc)
      target_sources(${exe} PRIVATE ${tdir}/test_${n}.rc)
    endif()
    add_test(NAME ${dir}.${n} COMMAND ${exe})
    set_tests_properties(${dir}.${n} PROPERTIES ENVIRONMENT "${QUARN_TEST_ENV}" TIMEOUT 180)
  endforeach()
endforeach()

# Small programs the tests start (tests/tools/<name>.cpp).
file(GLOB tools CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tools/*.cpp)
foreach(t ${tools})
  get_filename_component(n ${t} NAME_WE)
  add_executable(${n} ${t})
  target_include_directories(${n} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${n} PRIVATE ${QUARN_LINK})
endforeach()

# a test may start any of the tools
foreach(t ${tools})
  get_filename_component(n ${t} NAME_WE)
  foreach(exe ${QUARN_TEST_EXES})
    add_dependencies(${exe} ${n})
  endforeach()
endforeach()

# End-to-end scripts run the programs as a user would.
file(GLOB e2e CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.sh)
list(REMOVE_ITEM e2e ${CMAKE_SOURCE_DIR}/tests/e2e/lib.sh)
foreach(t ${e2e})
  get_filename_component(n ${t} NAME_WE)
  add_test(NAME e2e.${n} COMMAND bash ${t})
  set_tests_properties(e2e.${n} PROPERTIES ENVIRONMENT "${QUARN_TEST_ENV}" TIMEOUT 600)
endforeach()
