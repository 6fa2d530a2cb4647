#include "exit_module/id_scan.h"

#include <memory>
#include <new>

#include "platform/logfile.h"
#include "shared/text.h"

namespace kestrow {

namespace {

const size_t kScanBlockSize = 1 << 20;
const size_t kSmallBlockSize = 4096;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}


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
            p = text::find_line_end(p, end);
            if (p == nullptr)
                return;
            scan.at_line_start = true;
            ++p;
            continue;
        }
        char c = *p++;
        if (text::is_line_end(c))
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
