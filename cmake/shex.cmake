# The shell extension quarnw-shex: an in-process COM server DLL with undecorated
# exports (the .def file), a version resource and its own static copies of the
# foundation modules it uses.
enable_language(RC)

set(SHEX_SRC ${CMAKE_SOURCE_DIR}/src/quarnw/win32/shex)
quarn_version_source(quarnw-shex SHEX_VER_SRC)
add_library(quarnw-shex SHARED
  ${SHEX_SRC}/shex.cpp ${SHEX_SRC}/shexcf.cpp ${SHEX_SRC}/shexmenu.cpp
  ${CMAKE_SOURCE_DIR}/src/c/win32/reg.cpp ${SHEX_VER_SRC}
  ${SHEX_SRC}/quarnw-shex.def ${SHEX_SRC}/quarnw-shex.rc)
set_target_properties(quarnw-shex PROPERTIES PREFIX "" OUTPUT_NAME quarnw-shex)
set_source_files_properties(${SHEX_SRC}/quarnw-shex.rc PROPERTIES COMPILE_DEFINITIONS
  "QUARN_VER_MAJOR=${PROJECT_VERSION_MAJOR};QUARN_VER_MINOR=${PROJECT_VERSION_MINOR};QUARN_VER_PATCH=${PROJECT_VERSION_PATCH}")
target_include_directories(quarnw-shex PRIVATE ${CMAKE_SOURCE_DIR}/src)
# x86: the stdcall entry points are exported by their plain names
target_link_options(quarnw-shex PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
target_link_libraries(quarnw-shex PRIVATE -Wl,--start-group mox_c mox_err -Wl,--end-group
  shell32 ole32 uuid advapi32 user32)

# Tests: the library driven by a host program, its registration with regsvr32. Added
# after cmake/tests.cmake has set up GoogleTest and the Wine test environment.
function(shex_add_tests)
  set(t ${CMAKE_SOURCE_DIR}/tests/shex)
  add_executable(shex_recorder ${t}/recorder.cpp)
  add_executable(test_shex_shex ${t}/test_shex.cpp)
  target_compile_definitions(test_shex_shex PRIVATE QUARN_VER_MAJOR=${PROJECT_VERSION_MAJOR}
    QUARN_VER_MINOR=${PROJECT_VERSION_MINOR} QUARN_VER_PATCH=${PROJECT_VERSION_PATCH})
  target_link_libraries(test_shex_shex PRIVATE gtest_main gtest version ole32 uuid shell32 advapi32 user32)
  add_dependencies(test_shex_shex quarnw-shex shex_recorder)
  add_executable(test_shex_reg ${t}/test_reg.cpp ${CMAKE_SOURCE_DIR}/src/c/win32/reg.cpp)
  target_link_libraries(test_shex_reg PRIVATE gtest_main gtest ${QUARN_LINK})
  foreach(exe test_shex_shex test_shex_reg)
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  endforeach()
  add_test(NAME shex.shex COMMAND test_shex_shex)
  add_test(NAME shex.reg COMMAND test_shex_reg)
  add_test(NAME shex.register COMMAND bash ${t}/register.sh)
  set_tests_properties(shex.shex shex.reg shex.register PROPERTIES ENVIRONMENT "${QUARN_TEST_ENV}" TIMEOUT 300)
endfunction()
if(QUARN_TESTS)
  cmake_language(DEFER CALL shex_add_tests)
endif()
