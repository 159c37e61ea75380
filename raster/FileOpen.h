#pragma once
#include <cstdio>

// Opens a path given as UTF-8. On Windows the path is converted to UTF-16 and opened wide;
// when it is not valid UTF-8 (or the wide open fails) the bytes are tried as a narrow path.
std::FILE* OpenFileUtf8(const char* path, const char* mode);
