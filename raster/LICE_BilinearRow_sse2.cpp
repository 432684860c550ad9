// Bilinear samples along a row of the rotated copy, one pixel per step with
// SSE2. The scalar rule sums channel x weight over the four neighbours, with
// weights up to 65536; _mm_madd_epi16 multiplies signed 16-bit pairs, so each
// weight is split into w >> 8 (0..256) and w & 255, and the two sums are put
// back together as (high << 8) + low. Every sum stays below 2^24, so the
// result is the scalar one bit for bit.
#include "raster/LICE_ComposeRows.h"

#include <emmintrin.h>

namespace {

// Neighbours a and b interleaved per channel as 16-bit values:
// a.blue, b.blue, a.green, b.green, ... a.alpha, b.alpha.
inline __m128i Interleave(const LICE_PixelWord* pair)
{
  const __m128i both = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pair));
  return _mm_unpacklo_epi8(_mm_unpacklo_epi8(both, _mm_srli_si128(both, 4)), _mm_setzero_si128());
}

inline __m128i PairWeights(std::uint32_t a, std::uint32_t b)
{
  return _mm_set1_epi32(int(a | (b << 16)));
}

}  // namespace

void LICE_BilinearInteriorRun(LICE_PixelWord* out, const LICE_PixelWord* origin, std::ptrdiff_t stride,
                              std::int64_t s, std::int64_t t, std::int64_t dsdx, std::int64_t dtdx, int count)
{
  for (int i = 0; i < count; ++i, s += dsdx, t += dtdx)
  {
    const LICE_PixelWord* p = origin + std::ptrdiff_t(t >> 16) * stride + std::ptrdiff_t(s >> 16);
    const std::uint32_t fx = std::uint32_t(s & 0xFFFF), fy = std::uint32_t(t & 0xFFFF);
    const std::uint32_t q = (fx * fy) >> 16;
    const std::uint32_t wtl = 65536 - fx - fy + q, wtr = fx - q, wbl = fy - q, wbr = q;
    const __m128i top = Interleave(p), bottom = Interleave(p + stride);
    const __m128i high = _mm_add_epi32(_mm_madd_epi16(top, PairWeights(wtl >> 8, wtr >> 8)),
                                       _mm_madd_epi16(bottom, PairWeights(wbl >> 8, wbr >> 8)));
    const __m128i low = _mm_add_epi32(_mm_madd_epi16(top, PairWeights(wtl & 255, wtr & 255)),
                                      _mm_madd_epi16(bottom, PairWeights(wbl & 255, wbr & 255)));
    const __m128i sum = _mm_srli_epi32(_mm_add_epi32(_mm_slli_epi32(high, 8), low), 16);
    const __m128i words = _mm_packs_epi32(sum, sum);
    out[i] = LICE_PixelWord(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  }
}
