// Whether the processor runs the eight-lane integer loops the error hierarchies build for
// it (AVX2); asked once.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
inline bool HasWideVectors() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#else
inline bool HasWideVectors() { return false; }
#endif
