# Script mode: turns the bytes of IN into a C++ array named SYMBOL in OUT.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
if(NUL)
    string(APPEND bytes "0x00,")
    math(EXPR total "${size} + 1")
else()
    set(total ${size})
endif()
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include <cstddef>\n"
    "extern const unsigned char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
    "const unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n"
    "const std::size_t ${SYMBOL}Size = ${total};\n")
