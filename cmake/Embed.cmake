# Built-in tables are compiled into the binary so that the program never depends on
# finding a data file at run time.

# dniarz_embed_bytes(<target> <symbol> <file> [NUL])
# Adds to <target> a generated source that defines
#   extern const unsigned char <symbol>[]; extern const std::size_t <symbol>Size;
# holding the file's bytes (and one NUL byte after them when NUL is given).
function(dniarz_embed_bytes target symbol file)
    set(nul OFF)
    if(ARGN STREQUAL "NUL")
        set(nul ON)
    endif()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.cpp")
    add_custom_command(
        OUTPUT "${out}"
        COMMAND "${CMAKE_COMMAND}" -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol} -DNUL=${nul}
                -P "${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake"
        DEPENDS "${file}" "${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake"
        COMMENT "Embedding ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE "${out}")
endfunction()
