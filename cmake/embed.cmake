# The built-in text sources under res/ are compressed with bzip2 at build time and
# linked as byte arrays: quarn_embed(<library> <symbol> <file> [<symbol> <file>]...)
# makes a static library whose objects define `const unsigned char <symbol>[]' and
# `const unsigned <symbol>_size' (declared in src/quarnw/resimg.h).
find_program(QUARN_BZIP2 bzip2 REQUIRED)
function(quarn_embed lib)
  set(outs "")
  while(ARGN)
    list(POP_FRONT ARGN sym file)
    set(out ${CMAKE_BINARY_DIR}/gen/${sym}.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYM=${sym} -DBZIP2=${QUARN_BZIP2}
        -P ${QUARN_EMBED_SCRIPT}
      DEPENDS ${file} ${QUARN_EMBED_SCRIPT} VERBATIM)
    list(APPEND outs ${out})
  endwhile()
  add_library(${lib} STATIC ${outs})
endfunction()
set(QUARN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed-file.cmake)
