// Finding where a run of text ends, for the line readers, which spend most of their time
// here: the first of a few stop bytes, looked for sixteen bytes at a time where the processor
// allows.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vm {

// Offset of the first of the bytes kStops in p[0..limit), or limit when there is none.
// Never reads outside p[0..limit).
template <unsigned char... kStops>
inline size_t FindStop(const unsigned char* p, size_t limit) {
  size_t n = 0;
#if defined(__SSE2__)
  auto hits = [p](size_t at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    const __m128i found = (... | _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(kStops))));
    return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(found)));
  };
  // Blocks of 64 bytes first: most lines end in the first, and a branch per block rather
  // than per 16 bytes is rarely mispredicted.
  for (; n + 64 <= limit; n += 64) {
    const uint64_t mask = hits(n) | hits(n + 16) << 16 | hits(n + 32) << 32 | hits(n + 48) << 48;
    if (mask != 0) return n + static_cast<size_t>(std::countr_zero(mask));
  }
  for (; n + 16 <= limit; n += 16)
    if (const uint64_t mask = hits(n)) return n + static_cast<size_t>(std::countr_zero(mask));
  if (n < limit && limit >= 16) {
    // The last bytes, in one block that ends at the limit and overlaps bytes already seen.
    const uint64_t mask = hits(limit - 16);
    return mask != 0 ? limit - 16 + static_cast<size_t>(std::countr_zero(mask)) : limit;
  }
#endif
  while (n < limit && ((p[n] != kStops) && ...)) ++n;
  return n;
}

}  // namespace vm
