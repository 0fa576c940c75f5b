# Writes a C++ header that holds a text file as one string constant.
#   cmake -DINPUT=file -DOUTPUT=header -DNAME=constant -P embed_text.cmake
file(READ "${INPUT}" text)
file(WRITE "${OUTPUT}" "// Made by the build from ${INPUT}.\n#pragma once\ninline constexpr char ${NAME}[] = R\"text(${text})text\";\n")
