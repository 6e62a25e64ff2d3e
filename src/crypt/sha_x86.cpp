// The SHA extensions' form of the SHA-256 compression: the state kept as ABEF/CDGH halves, the
// message schedule four words at a time. Compiled for those instructions alone, called only after
// the processor said it has them.
#include "crypt/sha_x86.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define TW_SHA_X86 1
#endif

namespace tw {

#ifdef TW_SHA_X86

bool ShaExtensionsAvailable() {
  static const bool available = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return ssse3 && sse41 && (b & (1u << 29));
  }();
  return available;
}

__attribute__((target("sha,sse4.1,ssse3"))) void ShaExtensionsTransform(uint32_t state[8], const uint8_t* data,
                                                                        size_t blocks,
                                                                        const uint32_t roundConstants[64]) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
  __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i w[4];
    for (int i = 0; i < 16; ++i) {
      __m128i words;
      if (i < 4) {
        words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
      } else {
        __m128i t = _mm_sha256msg1_epu32(w[(i - 4) & 3], w[(i - 3) & 3]);
        t = _mm_add_epi32(t, _mm_alignr_epi8(w[(i - 1) & 3], w[(i - 2) & 3], 4));
        words = _mm_sha256msg2_epu32(t, w[(i - 1) & 3]);
      }
      w[i & 3] = words;
      const __m128i k = _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&roundConstants[4 * i])));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(k, 0x0E));
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

#else

bool ShaExtensionsAvailable() { return false; }
void ShaExtensionsTransform(uint32_t*, const uint8_t*, size_t, const uint32_t*) {}

#endif

}  // namespace tw
