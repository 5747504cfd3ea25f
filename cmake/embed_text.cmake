# Writes a C++ source that holds a text file as a string constant.
# -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol
file(READ "${INPUT}" content)
file(WRITE "${OUTPUT}" "extern const char* const ${NAME};\nconst char* const ${NAME} = R\"PPTEXT(${content})PPTEXT\";\n")
