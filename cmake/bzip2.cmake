# libbzip2, compiled from the Debian source package that bin/setup fetches into
# build/deps/bzip2 (never committed). Defines the static library bz2.
set(QUARN_BZIP2_SRC ${CMAKE_SOURCE_DIR}/build/deps/bzip2 CACHE PATH "bzip2 source folder")
if(NOT EXISTS ${QUARN_BZIP2_SRC}/bzlib.c)
  message(FATAL_ERROR "bzip2 source missing in ${QUARN_BZIP2_SRC}: run bin/setup")
endif()
add_library(bz2 STATIC
  ${QUARN_BZIP2_SRC}/blocksort.c ${QUARN_BZIP2_SRC}/huffman.c ${QUARN_BZIP2_SRC}/crctable.c
  ${QUARN_BZIP2_SRC}/randtable.c ${QUARN_BZIP2_SRC}/compress.c ${QUARN_BZIP2_SRC}/decompress.c
  ${QUARN_BZIP2_SRC}/bzlib.c)
target_include_directories(bz2 SYSTEM PUBLIC ${QUARN_BZIP2_SRC})
# the library's own warnings are not ours; no stdio in the programs' copy
target_compile_options(bz2 PRIVATE -w)
target_compile_definitions(bz2 PRIVATE BZ_NO_STDIO)
