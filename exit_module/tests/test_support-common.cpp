#include "exit_module/tests/test_support.h"

#include <stdio.h>

namespace kestrow_test {

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
