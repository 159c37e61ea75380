#pragma once
// The per-sample steps of the amp are small and called in a tight chain: have them inlined.
#if defined(__GNUC__)
#define ZORV_INLINE inline __attribute__((always_inline))
#else
#define ZORV_INLINE inline
#endif
