// Recovery of the highest row identifier from an existing log file.
#include <gtest/gtest.h>

#include <string>

#include "exit_module/id_scan.h"
#include "exit_module/tests/test_support.h"
#include "platform/logfile.h"

namespace {

struct ScanCase {
    const char *what;
    std::string file;
    uint32_t last_identifier;
};

std::string digits(size_t count, char digit) {
    return std::string(count, digit);
}

const char kHeader[] =
    "# kestrow.dll generated file\n# notice\n# fields are delimited with TABS\n# UniqueInternalID\tevtm_time\n";

const ScanCase kCases[] = {
    {"empty file", "", 0},
    {"header only", kHeader, 0},
    {"highest, not last", std::string(kHeader) + "00000012\ta\n00000007\tb\n", 12},
    {"windows line ends", "00000003\ta\r\n00000004\tb\r\n", 4},
    {"lines not starting with a digit", " 123\tx\n\t456\nabc789\n#12\n-5\tx\n", 0},
    {"digits later on a line", "00000002\t99999\tx 777\n", 2},
    {"runs join across line ends", "12\n34\tx\n", 1234},
    {"runs join across CR LF and empty lines", "12\r\n\r\n34\tx\n", 1234},
    {"pending run converted by the next line's first byte", "12\nx\n", 12},
    {"pending run at the end dropped", "00000005\tx\n12\n\n", 5},
    {"carriage return alone starts a line", "x\r7\ty\n", 7},
    {"byte 0x1A does not end the scan", "00000001\tcut \x1A here\n00000009\tx\n", 9},
    {"byte 0xFF does not end the scan", "00000001\t\xFF\xFF\n00000010\tx\n", 10},
    {"zero byte does not end the scan", std::string("00000001\ta\0b\n00000011\tx\n", 24), 11},
    {"only the first 126 digits of a run count", digits(126, '0') + "5\tx\n", 0},
    {"126 digits are all kept", digits(125, '0') + "5\tx\n", 5},
    {"above the signed range", "2147483648\tx\n", 2147483648u},
    {"largest identifier", "4294967295\tx\n", 4294967295u},
    {"above 32 bits caps", "4294967296\tx\n00000001\tx\n", 4294967295u},
    {"long run caps", digits(130, '9') + "\tx\n", 4294967295u},
};

uint32_t scan_whole(const std::string &bytes) {
    kestrow::IdentifierScan scan;
    kestrow::scan_bytes(scan, bytes.data(), bytes.size());
    return scan.last_identifier;
}

uint32_t scan_in_pieces(const std::string &bytes, size_t piece) {
    kestrow::IdentifierScan scan;
    for (size_t at = 0; at < bytes.size(); at += piece)
        kestrow::scan_bytes(scan, bytes.data() + at, std::min(piece, bytes.size() - at));
    return scan.last_identifier;
}

uint32_t scan_file(const std::string &bytes, uint32_t start) {
    kestrow_test::TempDir dir;
    std::string path = dir.file("kestrow.txt");
    kestrow_test::write_file(path, bytes);
    int error = 0;
    int fd = platform::logfile_open(path.c_str(), &error);
    EXPECT_GE(fd, 0);
    uint32_t found = kestrow::scan_identifiers(fd, start);
    platform::logfile_close(fd);
    return found;
}

}  // namespace

TEST(KestrowScan, TableOfFiles) {
    for (const ScanCase &c : kCases) {
        EXPECT_EQ(scan_whole(c.file), c.last_identifier) << c.what;
        // Block boundaries may fall anywhere: the state carries over.
        EXPECT_EQ(scan_in_pieces(c.file, 1), c.last_identifier) << c.what << " (byte by byte)";
        EXPECT_EQ(scan_in_pieces(c.file, 3), c.last_identifier) << c.what << " (3-byte pieces)";
        EXPECT_EQ(scan_file(c.file, 0), c.last_identifier) << c.what << " (from the file)";
    }
}

TEST(KestrowScan, NeverLowersTheStartingIdentifier) {
    EXPECT_EQ(scan_file("00000012\tx\n", 50), 50u);
    EXPECT_EQ(scan_file("00000012\tx\n", 3), 12u);
}

TEST(KestrowScan, FileLargerThanOneReadBlock) {
    // Rows of varying length so that read blocks end inside rows and
    // inside identifiers.
    std::string bytes = kHeader;
    const uint32_t rows = 60000;
    for (uint32_t id = 1; id <= rows; ++id) {
        char number[16];
        snprintf(number, sizeof number, "%08u", id);
        bytes += number;
        bytes += "\t1700000000\t" + std::string(id % 37, 'm') + "\r\n";
    }
    bytes += "00000003\tlower identifier last\n";
    ASSERT_GT(bytes.size(), 2u << 20);
    EXPECT_EQ(scan_file(bytes, 0), rows);
}

TEST(KestrowScan, RunValueCapsAtTheLargestIdentifier) {
    EXPECT_EQ(kestrow::run_value("0000000000000000000042", 22), 42u);
    EXPECT_EQ(kestrow::run_value("4294967295", 10), 4294967295u);
    EXPECT_EQ(kestrow::run_value("4294967296", 10), 4294967295u);
    EXPECT_EQ(kestrow::run_value("18446744073709551617", 20), 4294967295u);
}
