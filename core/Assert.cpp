#include "Assert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void AssertionFailed(const char* expression, const char* file, int line) {
  // The file's own name is enough to find it; build paths differ between machines.
  const char* name = file;
  for (const char* c = file; *c; ++c) {
    if (*c == '/' || *c == '\\') name = c + 1;
  }
  std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, name, line);
  std::fflush(stderr);
  std::abort();
}
