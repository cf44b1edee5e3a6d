#include "process.h"

#include <cstdio>

namespace kzq_test {

std::string read_file(const std::string &path) {
    std::string text;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
            text.append(buffer, got);
        }
        std::fclose(f);
    }
    return text;
}

} // namespace kzq_test
