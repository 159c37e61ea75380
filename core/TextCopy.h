#pragma once
#include <cstddef>
#include <cstring>

// Copies text into a fixed field of fieldSize bytes: cut to fit, always NUL-terminated.
inline void CopyText(char* field, const char* text, size_t fieldSize) {
  if (!field || fieldSize == 0) return;
  size_t length = text ? std::strlen(text) : 0;
  if (length >= fieldSize) length = fieldSize - 1;
  if (length) std::memmove(field, text, length);
  field[length] = 0;
}
