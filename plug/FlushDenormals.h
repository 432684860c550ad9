#pragma once
// FlushDenormals: while one lives, the calling thread's floating-point unit
// treats subnormal inputs as zero and flushes subnormal results to zero (on
// x86: the DAZ and FTZ bits of MXCSR); the previous mode comes back when it
// goes. The audio path holds one for each block, so a decaying tone or a
// host's subnormal input never reaches the output as subnormals and never
// costs the slow microcode path. Elsewhere it does nothing.

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define THRUMWELL_HAS_MXCSR 1
#endif

class FlushDenormals
{
public:
#ifdef THRUMWELL_HAS_MXCSR
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;

  FlushDenormals() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero); }
  ~FlushDenormals() { _mm_setcsr(saved); }

private:
  unsigned saved;
#else
  FlushDenormals() {}
#endif

public:
  FlushDenormals(const FlushDenormals&) = delete;
  FlushDenormals& operator=(const FlushDenormals&) = delete;
};
