#pragma once
// Programming errors in the plug-in's own declarations stop here, in every build, with a
// message naming the expression and the source file. The expression is always evaluated.

[[noreturn]] void AssertionFailed(const char* expression, const char* file, int line);

#define ZORV_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : AssertionFailed(#expression, __FILE__, __LINE__))
