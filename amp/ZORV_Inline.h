#pragma once
// The per-sample steps of the amp are small and called in a tight chain: have them inlined.
#if defined(__GNUC__)
#define ZORV_INLINE inline __attribute__((always_inline))
// ...and keep rarely run copies of them out of the hot loops.
#define ZORV_NOINLINE __attribute__((noinline))
#else
#define ZORV_INLINE inline
#define ZORV_NOINLINE
#endif
