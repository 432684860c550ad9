// Row loops four pixels at a time with SSE2 (part of every x86-64 processor),
// both resting on the copy rule of LICE_TowardSource.
#include "raster/LICE_ComposeRows.h"

#include "raster/LICE_CombineRules.h"
#include "raster/LICE_TowardSource_sse2.h"

// Per colour channel keep = 255 - sa; alpha = min(255, d + sa); sa = 0 keeps d.
void LICE_CopySourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count)
{
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaBytes = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= count; i += 4)
  {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    // Runs of opaque or transparent pixels, common in the editor's images,
    // need no arithmetic.
    const __m128i alpha = _mm_and_si128(s, alphaBytes);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaBytes)) == 0xFFFF)
    {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
      continue;
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));

    // 255 - sa in every byte of its pixel.
    __m128i sa = _mm_srli_epi32(s, 24);
    sa = _mm_or_si128(sa, _mm_slli_epi32(sa, 8));
    sa = _mm_or_si128(sa, _mm_slli_epi32(sa, 16));
    const __m128i keep = _mm_xor_si128(sa, _mm_set1_epi32(-1));

    __m128i out = LICE_TowardSource(d, s, keep);
    out = _mm_or_si128(_mm_andnot_si128(alphaBytes, out), _mm_and_si128(alphaBytes, _mm_adds_epu8(d, s)));
    const __m128i transparent = _mm_cmpeq_epi32(alpha, zero);
    out = _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, out));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
  const lice_detail::PixCopySourceAlphaFull rule;
  for (; i < count; ++i)
    dst[i] = rule(dst[i], src[i]);
}

void LICE_FillCopyRow(LICE_PixelWord* dst, int count, LICE_PixelWord colour, int weight)
{
  const __m128i s = _mm_set1_epi32(int(colour));
  const __m128i keep = _mm_set1_epi8(char(256 - weight));
  int i = 0;
  for (; i + 4 <= count; i += 4)
  {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), LICE_TowardSource(d, s, keep));
  }
  for (; i < count; ++i)
    dst[i] = lice_detail::SolidCopy::Apply(dst[i], colour, weight);
}

// w' = w (sa + 1) / 256 per pixel, then every channel, alpha included, gains
// s w' / 256 and saturates. At sa = 0, w' is 0 or 1 and adds nothing, so
// transparent pixels need no test.
void LICE_AddSourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count, int weight)
{
  const __m128i zero = _mm_setzero_si128();
  const __m128i w = _mm_set1_epi32(weight), one = _mm_set1_epi32(1);
  int i = 0;
  for (; i + 4 <= count; i += 4)
  {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i scaled = _mm_srli_epi32(_mm_madd_epi16(_mm_add_epi32(_mm_srli_epi32(s, 24), one), w), 8);
    // Each pixel's w' in the four 16-bit lanes of its channels.
    const __m128i pairs = _mm_unpacklo_epi16(_mm_packs_epi32(scaled, scaled), _mm_packs_epi32(scaled, scaled));
    const __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi32(pairs, pairs));
    const __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi32(pairs, pairs));
    const __m128i gain = _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(d, gain));
  }
  const lice_detail::PixAddSourceAlpha rule{weight};
  for (; i < count; ++i)
    dst[i] = rule(dst[i], src[i]);
}
