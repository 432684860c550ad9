// Bilinear samples along a row of the rotated copy with SSE2, the weights of
// four pixels worked out together. The scalar rule sums channel x weight over
// the four neighbours, with weights up to 65536; _mm_madd_epi16 multiplies
// signed 16-bit pairs, so each weight is split into w >> 8 (0..256) and
// w & 255, and the two sums are put back together as (high << 8) + low. Every
// sum stays below 2^24, so the result is the scalar one bit for bit.
#include "raster/LICE_ComposeRows.h"

#include <emmintrin.h>

namespace {

inline __m128i LoadPair(const LICE_PixelWord* pair)
{
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pair));
}

// Neighbours a and b (loaded as one pair) interleaved per channel as 16-bit
// values: a.blue, b.blue, a.green, b.green, ... a.alpha, b.alpha.
inline __m128i Interleave(__m128i pair)
{
  return _mm_unpacklo_epi8(_mm_unpacklo_epi8(pair, _mm_srli_si128(pair, 4)), _mm_setzero_si128());
}

// Two weights of each of four pixels as 16-bit pairs (a in the low half).
inline __m128i Pairs(__m128i a, __m128i b) { return _mm_or_si128(a, _mm_slli_epi32(b, 16)); }

// The four channel sums of one pixel, >> 16; `lane` picks the pixel's
// weights out of the pair vectors.
template <int Lane>
inline __m128i Sample(__m128i topPair, __m128i bottomPair, __m128i topHigh, __m128i bottomHigh, __m128i topLow,
                      __m128i bottomLow)
{
  constexpr int pick = Lane * 0x55;
  const __m128i top = Interleave(topPair), bottom = Interleave(bottomPair);
  const __m128i high = _mm_add_epi32(_mm_madd_epi16(top, _mm_shuffle_epi32(topHigh, pick)),
                                     _mm_madd_epi16(bottom, _mm_shuffle_epi32(bottomHigh, pick)));
  const __m128i low = _mm_add_epi32(_mm_madd_epi16(top, _mm_shuffle_epi32(topLow, pick)),
                                    _mm_madd_epi16(bottom, _mm_shuffle_epi32(bottomLow, pick)));
  return _mm_srli_epi32(_mm_add_epi32(_mm_slli_epi32(high, 8), low), 16);
}

inline const LICE_PixelWord* At(const LICE_PixelWord* origin, std::ptrdiff_t stride, std::int64_t s, std::int64_t t)
{
  return origin + std::ptrdiff_t(t >> 16) * stride + std::ptrdiff_t(s >> 16);
}

}  // namespace

void LICE_BilinearInteriorRun(LICE_PixelWord* out, const LICE_PixelWord* origin, std::ptrdiff_t stride,
                              std::int64_t s, std::int64_t t, std::int64_t dsdx, std::int64_t dtdx, int count,
                              bool skipTransparent)
{
  const __m128i fraction = _mm_set1_epi32(0xFFFF), lowByte = _mm_set1_epi32(0xFF);
  const __m128i one = _mm_set1_epi32(65536), alphas = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= count; i += 4, s += 4 * dsdx, t += 4 * dtdx)
  {
    __m128i top[4], bottom[4];
    __m128i any = _mm_setzero_si128();
    for (int k = 0; k < 4; ++k)
    {
      const LICE_PixelWord* p = At(origin, stride, s + k * dsdx, t + k * dtdx);
      top[k] = LoadPair(p);
      bottom[k] = LoadPair(p + stride);
      any = _mm_or_si128(any, _mm_or_si128(top[k], bottom[k]));
    }
    // Four transparent neighbours give a transparent sample, which is all
    // such a rule looks at.
    const __m128i anyAlpha = _mm_and_si128(any, alphas);
    if (skipTransparent && _mm_movemask_epi8(_mm_cmpeq_epi32(anyAlpha, _mm_setzero_si128())) == 0xFFFF)
    {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_setzero_si128());
      continue;
    }
    // Weights of four pixels at once, in 32-bit lanes; fx * fy >> 16 is the
    // high half of the 16-bit product.
    const __m128i fx = _mm_and_si128(
      _mm_set_epi32(int(s + 3 * dsdx), int(s + 2 * dsdx), int(s + dsdx), int(s)), fraction);
    const __m128i fy = _mm_and_si128(
      _mm_set_epi32(int(t + 3 * dtdx), int(t + 2 * dtdx), int(t + dtdx), int(t)), fraction);
    const __m128i q = _mm_mulhi_epu16(fx, fy);
    const __m128i wtl = _mm_add_epi32(_mm_sub_epi32(_mm_sub_epi32(one, fx), fy), q);
    const __m128i wtr = _mm_sub_epi32(fx, q), wbl = _mm_sub_epi32(fy, q), wbr = q;
    const __m128i topHigh = Pairs(_mm_srli_epi32(wtl, 8), _mm_srli_epi32(wtr, 8));
    const __m128i bottomHigh = Pairs(_mm_srli_epi32(wbl, 8), _mm_srli_epi32(wbr, 8));
    const __m128i topLow = Pairs(_mm_and_si128(wtl, lowByte), _mm_and_si128(wtr, lowByte));
    const __m128i bottomLow = Pairs(_mm_and_si128(wbl, lowByte), _mm_and_si128(wbr, lowByte));

    const __m128i p0 = Sample<0>(top[0], bottom[0], topHigh, bottomHigh, topLow, bottomLow);
    const __m128i p1 = Sample<1>(top[1], bottom[1], topHigh, bottomHigh, topLow, bottomLow);
    const __m128i p2 = Sample<2>(top[2], bottom[2], topHigh, bottomHigh, topLow, bottomLow);
    const __m128i p3 = Sample<3>(top[3], bottom[3], topHigh, bottomHigh, topLow, bottomLow);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3)));
  }
  for (; i < count; ++i, s += dsdx, t += dtdx)
  {
    const std::uint32_t fx = std::uint32_t(s & 0xFFFF), fy = std::uint32_t(t & 0xFFFF);
    const std::uint32_t q = (fx * fy) >> 16;
    const __m128i w = _mm_setr_epi32(int(65536 - fx - fy + q), int(fx - q), int(fy - q), int(q));
    // Lane 0 of each pair vector holds this pixel's weights.
    const __m128i high = _mm_srli_epi32(w, 8), low = _mm_and_si128(w, lowByte);
    const __m128i topHigh = Pairs(high, _mm_srli_si128(high, 4));
    const __m128i bottomHigh = _mm_srli_si128(topHigh, 8);
    const __m128i topLow = Pairs(low, _mm_srli_si128(low, 4));
    const __m128i bottomLow = _mm_srli_si128(topLow, 8);
    const LICE_PixelWord* p = At(origin, stride, s, t);
    const __m128i sum = Sample<0>(LoadPair(p), LoadPair(p + stride), topHigh, bottomHigh, topLow, bottomLow);
    const __m128i words = _mm_packs_epi32(sum, sum);
    out[i] = LICE_PixelWord(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  }
}
