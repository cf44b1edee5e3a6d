// kzqdump: prints every entry that kzqtools delivers for a registry export file, or the host's
// address list.
//
//   kzqdump FILE          one line an entry, for people
//   kzqdump --json FILE   one JSON object a line, for scripts
//   kzqdump --ip          the host's IPv4 addresses, one a line, in the library's order
//
// For a file, the last line names the result that ended the read: KZQ_END_OF_FILE, or the
// failure. A failed address list prints its result's name on standard error. The exit status is
// 0 at the end of the file or after the list, 1 on a failure of the library, 2 on a usage error
// and 3 when the library cannot be loaded.
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

// The library writes up to 16 bytes for each address and one more, but no host can know the
// number of addresses beforehand; this is room for 4096 of them.
constexpr std::size_t kHostListBytes = 16 * 4096 + 1;

int usage() {
    std::fputs("usage: kzqdump [--json] FILE\n       kzqdump --ip\n", stderr);
    return 2;
}

int dump_host_list(const kzqdump::KzqLibrary &library) {
    std::vector<char> list(kHostListBytes);
    kzq_result_t result = library.hostList(list.data());
    if (result != KZQ_SUCCESS) {
        std::fprintf(stderr, "kzqdump: --ip: %s\n", kzq::result_name(result));
        return 1;
    }
    for (const char *text = list.data(); *text != '\0'; text += std::strlen(text) + 1) {
        print_line(text);
    }
    return 0;
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
    bool hostList = argc > 1 && std::strcmp(argv[1], "--ip") == 0;
    bool json = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--json") == 0) {
        json = true;
        first = 2;
    }
    if (hostList ? argc != 2 : argc - first != 1) {
        return usage();
    }

    kzqdump::KzqLibrary library;
    const char *problem = nullptr;
    if (!kzqdump::load_kzq_library(library, problem)) {
        std::fprintf(stderr, "kzqdump: %s\n", problem);
        return 3;
    }
    int status = hostList ? dump_host_list(library) : dump_file(library, argv[first], json);
    std::fflush(stdout);
    kzqdump::unload_kzq_library(library);
    return status;
}
