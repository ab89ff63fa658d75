# Tab-separated tables compiled in as typed read-only arrays.
#
# Included from a CMakeLists.txt it defines
#   dniarz_embed_table(<target> <symbol> <file> <row type> <header>)
# which adds to <target> a generated source defining
#   extern const <row type> <symbol>[]; extern const std::size_t <symbol>Count;
# with one brace-initialised row per data line of <file> (the first line is a header), the fields in
# column order. Run with -P it is the generator itself. Whole numbers are copied as they stand,
# decimals get the long double suffix so that none of their digits pass through a double, and a
# single letter becomes a char. Anything else, or a row with the wrong number of fields, stops the
# build: a damaged table must never compile into wrong figures.

if(CMAKE_SCRIPT_MODE_FILE)
    file(STRINGS "${IN}" lines)
    list(POP_FRONT lines header)
    string(REPLACE "\t" ";" headerFields "${header}")
    list(LENGTH headerFields columns)
    set(body "")
    set(count 0)
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line STREQUAL "")
            continue()
        endif()
        math(EXPR count "${count} + 1")
        string(REPLACE "\t" ";" fields "${line}")
        list(LENGTH fields n)
        if(NOT n EQUAL columns)
            message(FATAL_ERROR "${IN}: data line ${count} has ${n} fields, the header ${columns}")
        endif()
        set(row "")
        foreach(field IN LISTS fields)
            if(field MATCHES "^-?[0-9]+$")
                string(APPEND row "${field},")
            elseif(field MATCHES "^-?[0-9]+\\.[0-9]+$")
                string(APPEND row "${field}L,")
            elseif(field MATCHES "^[A-Za-z]$")
                string(APPEND row "'${field}',")
            else()
                message(FATAL_ERROR "${IN}: data line ${count}: '${field}' is not a number or a letter")
            endif()
        endforeach()
        string(APPEND body "    {${row}},\n")
    endforeach()
    file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include \"${HEADER}\"\n\n"
        "extern const ${TYPE} ${SYMBOL}[] = {\n${body}};\n"
        "extern const std::size_t ${SYMBOL}Count = ${count};\n")
    return()
endif()

function(dniarz_embed_table target symbol file type header)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/table_${symbol}.cpp")
    add_custom_command(
        OUTPUT "${out}"
        COMMAND "${CMAKE_COMMAND}" -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol} -DTYPE=${type} -DHEADER=${header}
                -P "${PROJECT_SOURCE_DIR}/cmake/EmbedTable.cmake"
        DEPENDS "${file}" "${PROJECT_SOURCE_DIR}/cmake/EmbedTable.cmake"
        COMMENT "Generating the table ${symbol} from ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE "${out}")
endfunction()
