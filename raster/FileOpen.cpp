#include "FileOpen.h"

#ifdef _WIN32
#include <cwchar>
#include <string>

namespace {

// Strict UTF-8 to UTF-16; false for malformed, overlong or surrogate sequences, or paths
// longer than the 2048 units the wide buffer of the loaders holds.
bool Utf8ToWide(const char* text, std::wstring& out) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  out.clear();
  while (*s) {
    unsigned c = *s++;
    unsigned cp, extra, min;
    if (c < 0x80) { cp = c; extra = 0; min = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; min = 0x10000; }
    else return false;
    for (unsigned i = 0; i < extra; ++i) {
      if ((*s & 0xC0) != 0x80) return false;
      cp = cp << 6 | (*s++ & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(wchar_t(0xD800 + (cp >> 10)));
      out.push_back(wchar_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(wchar_t(cp));
    }
    if (out.size() >= 2048) return false;
  }
  return true;
}

}  // namespace

std::FILE* OpenFileUtf8(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  std::wstring wide, wideMode;
  if (Utf8ToWide(path, wide) && Utf8ToWide(mode, wideMode)) {
    if (std::FILE* f = _wfopen(wide.c_str(), wideMode.c_str())) return f;
  }
  return std::fopen(path, mode);
}
#else
std::FILE* OpenFileUtf8(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  return std::fopen(path, mode);
}
#endif
