#include "exit_module/id_scan.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <memory>
#include <new>

#include "platform/logfile.h"

namespace kestrow {

namespace {

const size_t kScanBlockSize = 1 << 20;
const size_t kSmallBlockSize = 4096;

bool is_line_end(char c) {
    return c == '\n' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The first line end (CR or LF) in [from, end), or nullptr. Most bytes of
// a log lie inside rows, so this loop is where the scan spends its time.
#if defined(__SSE2__)
// Sixteen bytes compared against both line-end bytes at once.
const char *next_line_end(const char *from, const char *end) {
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
const char *next_line_end(const char *from, const char *end) {
    const char *lf = static_cast<const char *>(memchr(from, '\n', static_cast<size_t>(end - from)));
    const char *limit = lf != nullptr ? lf : end;
    const char *cr = static_cast<const char *>(memchr(from, '\r', static_cast<size_t>(limit - from)));
    return cr != nullptr ? cr : lf;
}
#endif

void convert_run(IdentifierScan &scan) {
    if (scan.run_length == 0)
        return;
    size_t stored = scan.run_length < kMaxRunDigits ? scan.run_length : kMaxRunDigits;
    uint32_t value = run_value(scan.run, stored);
    if (value > scan.last_identifier)
        scan.last_identifier = value;
    scan.run_length = 0;
}

}  // namespace

uint32_t run_value(const char *digits, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value = value * 10 + static_cast<uint64_t>(digits[i] - '0');
        if (value > kLargestIdentifier)
            return kLargestIdentifier;
    }
    return static_cast<uint32_t>(value);
}

void scan_bytes(IdentifierScan &scan, const char *data, size_t size) {
    const char *p = data;
    const char *end = data + size;
    while (p < end) {
        if (!scan.at_line_start) {
            p = next_line_end(p, end);
            if (p == nullptr)
                return;
            scan.at_line_start = true;
            ++p;
            continue;
        }
        char c = *p++;
        if (is_line_end(c))
            continue;
        if (is_digit(c)) {
            if (scan.run_length < kMaxRunDigits)
                scan.run[scan.run_length] = c;
            ++scan.run_length;
            continue;
        }
        scan.at_line_start = false;
        convert_run(scan);
    }
}

uint32_t scan_identifiers(int descriptor, uint32_t last_identifier) {
    IdentifierScan scan;
    scan.last_identifier = last_identifier;
    // Without memory for a large block the scan still runs, just slower.
    char small_block[kSmallBlockSize];
    std::unique_ptr<char[]> large_block(new (std::nothrow) char[kScanBlockSize]);
    char *block = large_block ? large_block.get() : small_block;
    size_t block_size = large_block ? kScanBlockSize : kSmallBlockSize;
    uint64_t offset = 0;
    for (;;) {
        long got = platform::logfile_read_at(descriptor, offset, block, block_size);
        if (got <= 0)
            break;
        scan_bytes(scan, block, static_cast<size_t>(got));
        offset += static_cast<uint64_t>(got);
    }
    return scan.last_identifier;
}

}  // namespace kestrow
