#include "exit_module/tests/test_support.h"

#include <stdio.h>

namespace kestrow_test {

std::string read_file(const std::string &path) {
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, got);
    fclose(file);
    return bytes;
}

void write_file(const std::string &path, const std::string &bytes) {
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

bool file_exists(const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    fclose(file);
    return true;
}

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

}  // namespace kestrow_test
