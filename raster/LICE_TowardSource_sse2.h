#pragma once
// Private to raster/: the copy rule d = s + (d - s) * keep / 256, truncated
// toward zero, in SSE2 (part of every x86-64 processor). In every byte it is
// s +- (|d - s| * keep) >> 8, the sign that of d - s; the product is taken as
// the high half of |d - s| * (keep << 8), which is the same value.

#include "raster/LICE_Bitmap.h"

#include <emmintrin.h>

//! Four pixels at once; keep is 0..255 in every byte.
inline __m128i LICE_TowardSource(__m128i d, __m128i s, __m128i keep)
{
  const __m128i zero = _mm_setzero_si128();
  const __m128i above = _mm_subs_epu8(d, s);  // d - s where d > s
  const __m128i below = _mm_subs_epu8(s, d);  // s - d where s > d
  const __m128i distance = _mm_or_si128(above, below);
  const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(distance, zero), _mm_unpacklo_epi8(zero, keep));
  const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(distance, zero), _mm_unpackhi_epi8(zero, keep));
  const __m128i step = _mm_packus_epi16(lo, hi);
  return _mm_subs_epu8(_mm_adds_epu8(s, _mm_min_epu8(step, above)), _mm_min_epu8(step, below));
}

//! One pixel moved toward colour c at weight 1..255 on all four channels.
inline LICE_PixelWord LICE_TowardColour(LICE_PixelWord d, LICE_PixelWord c, int weight)
{
  const __m128i zero = _mm_setzero_si128();
  const __m128i dv = _mm_cvtsi32_si128(int(d)), cv = _mm_cvtsi32_si128(int(c));
  const __m128i above = _mm_subs_epu8(dv, cv), below = _mm_subs_epu8(cv, dv);
  const __m128i distance = _mm_unpacklo_epi8(_mm_or_si128(above, below), zero);
  const __m128i scaled = _mm_mulhi_epu16(distance, _mm_set1_epi16(short((256 - weight) << 8)));
  const __m128i step = _mm_packus_epi16(scaled, scaled);
  return LICE_PixelWord(
    _mm_cvtsi128_si32(_mm_subs_epu8(_mm_adds_epu8(cv, _mm_min_epu8(step, above)), _mm_min_epu8(step, below))));
}
