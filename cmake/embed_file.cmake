# Writes a file's bytes into a C++ source as an array, for a program that
# carries them inside: `cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAME=name -P
# embed_file.cmake` defines `const unsigned char name[]` and
# `const unsigned long name_size`.
file(READ ${INPUT} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
# 16 bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
string(STRIP "${bytes}" bytes)
file(WRITE ${OUTPUT}
  "// Made at build time from ${INPUT}.\n"
  "extern const unsigned char ${NAME}[] = {\n    ${bytes}\n};\n"
  "extern const unsigned long ${NAME}_size = ${size};\n")
