// kzqdump: prints every entry that kzqtools delivers for a registry export file.
//
//   kzqdump FILE          one line an entry, for people
//   kzqdump --json FILE   one JSON object a line, for scripts
//
// The last line names the result that ended the read: KZQ_END_OF_FILE, or the failure. The exit
// status is 0 at the end of the file, 1 on a failure of the library, 2 on a usage error and 3
// when the library cannot be loaded.
#include "entry_format.h"
#include "kzq_library.h"
#include "result_names.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr uint32_t kUntouched = 0xFFFFFFFFu;

void print_line(const std::string &line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int usage() {
    std::fputs("usage: kzqdump [--json] FILE\n", stderr);
    return 2;
}

int dump_file(const kzqdump::KzqLibrary &library, const char *path, bool json) {
    kzq_result_t result = library.open(path);
    if (result != KZQ_SUCCESS) {
        std::fprintf(stderr, "kzqdump: %s: %s\n", path, kzq::result_name(result));
        return 1;
    }
    // The most the library writes into each buffer: 4095 bytes for a name or a type, 4097 for
    // the data.
    std::vector<char> keyOrName(4095), type(4095), data(4097);
    for (;;) {
        int32_t isKey = 0;
        uint32_t byteCount = kUntouched;
        result = library.next(&isKey, keyOrName.data(), data.data(), type.data(), &byteCount);
        if (result != KZQ_SUCCESS) {
            break;
        }
        kzqdump::DumpedEntry entry{isKey != 0, keyOrName.data(), type.data(), data.data(),
                                   isKey == 0 && byteCount != kUntouched, byteCount};
        print_line(json ? kzqdump::format_entry_json(entry) : kzqdump::format_entry(entry));
    }
    const char *name = kzq::result_name(result);
    print_line(json ? kzqdump::format_end_json(name) : kzqdump::format_end(name));
    library.close();
    return result == KZQ_END_OF_FILE ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
#ifdef _WIN32
    // The same bytes as on any other system: no CR before each line feed.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    bool json = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--json") == 0) {
        json = true;
        first = 2;
    }
    if (argc - first != 1) {
        return usage();
    }

    kzqdump::KzqLibrary library;
    const char *problem = nullptr;
    if (!kzqdump::load_kzq_library(library, problem)) {
        std::fprintf(stderr, "kzqdump: %s\n", problem);
        return 3;
    }
    int status = dump_file(library, argv[first], json);
    std::fflush(stdout);
    kzqdump::unload_kzq_library(library);
    return status;
}
