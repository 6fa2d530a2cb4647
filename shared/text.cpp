#include "shared/text.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace text {

// Most bytes lie inside lines, so this loop is where a scan of a large log
// file spends its time.
#if defined(__SSE2__)
// Sixteen bytes compared against both line-end bytes at once.
const char *find_line_end(const char *from, const char *end) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - from >= 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
        if (hits != 0)
            return from + __builtin_ctz(static_cast<unsigned>(hits));
        from += 16;
    }
    for (; from < end; ++from) {
        if (is_line_end(*from))
            return from;
    }
    return nullptr;
}
#else
// The earlier of the next LF and any CR before it: two memchr passes.
const char *find_line_end(const char *from, const char *end) {
    const char *lf = static_cast<const char *>(memchr(from, '\n', static_cast<size_t>(end - from)));
    const char *limit = lf != nullptr ? lf : end;
    const char *cr = static_cast<const char *>(memchr(from, '\r', static_cast<size_t>(limit - from)));
    return cr != nullptr ? cr : lf;
}
#endif

namespace {
char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool equal_ignoring_ascii_case(const char *a, const char *b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (ascii_lower(*a) != ascii_lower(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace text
