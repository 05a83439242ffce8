# Writes a C++ source that holds the bytes of IN as a string_view named NAME.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR bytes "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," body "${hex}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include <string_view>\nnamespace partita::embedded {\nstatic const char data_${NAME}[] = {${body} 0};\nextern const std::string_view ${NAME}(data_${NAME}, ${bytes});\n}\n")
