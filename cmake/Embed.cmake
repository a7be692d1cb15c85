# Turns binary files into a C++ source holding them as byte arrays, without xxd or a
# toolkit resource compiler, so every host (native or cross-built) embeds the same bytes.
#
# qm_embed(OUTPUT <file.cpp> NAMESPACE <ns> FILES <name>=<path> ...)
# defines, per file, `extern const unsigned char <name>[]; extern const unsigned long <name>_size;`
function(qm_embed)
  cmake_parse_arguments(E "" "OUTPUT;NAMESPACE" "FILES" ${ARGN})
  set(deps "")
  set(args "")
  foreach(pair IN LISTS E_FILES)
    string(REPLACE "=" ";" kv "${pair}")
    list(GET kv 1 path)
    list(APPEND deps "${path}")
    list(APPEND args "${pair}")
  endforeach()
  string(REPLACE ";" "|" joined "${args}")
  add_custom_command(
    OUTPUT "${E_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -DOUT=${E_OUTPUT} -DNS=${E_NAMESPACE} "-DFILES=${joined}"
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedRun.cmake
    DEPENDS ${deps} ${PROJECT_SOURCE_DIR}/cmake/EmbedRun.cmake
    COMMENT "Embedding ${E_OUTPUT}"
    VERBATIM)
endfunction()
