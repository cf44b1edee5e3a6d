// kzq_bench: how fast a host reads a registry export through the library, measured against a
// bare loop that reads the same file line by line, and how much memory either needs.
//
//   cmake --preset bench && cmake --build --preset bench
//   build/bench/bin/kzq_bench [--size MB] [--rounds N] [--memory MB[,MB...]] [--dir DIR]
//
// --size      the export that is timed, in megabytes (default 100)
// --rounds    how often each reader runs; the two alternate, and the median counts (default 5)
// --memory    the exports whose peak memory is measured (default 10,1024; 0 skips it)
// --dir       where the generated exports are written and deleted again (default /tmp)
//
// The export is generated the way the registry editor writes one: CR LF line ends, keys with
// deep paths, strings with escaped backslashes and quotation marks, default values, dwords over
// the whole range, and hex, hex(2) and hex(7) values wrapped over continuation lines at the
// editor's width. Reader (a) is the standard library's line read with the 4095-byte limit and
// nothing else (this platform's C library has no text mode, so it leaves CR LF alone); reader
// (b) loads the library by name and takes every entry through the exports into buffers of the
// documented sizes. The ratio (b)/(a) is the cost of a full read in units
// of a bare line loop. Peak memory is each reader's maximum resident set, in a process of its
// own, so that neither the generator nor the other reader counts.
#include "kzq_library.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

// A fixed sequence, so that every run times the same file.
class Random {
public:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 32);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

const char *const kWords[] = {"Software", "Microsoft", "Windows",  "CurrentVersion", "Explorer",
                              "Services", "Parameters", "Classes", "Interface",      "Policies",
                              "Control",  "Session Manager", "Environment", "Tcpip", "{4D36E96A-E325-11CE-BFC1-08002BE10318}"};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

// Writes one hex value as the registry editor does: pairs separated by commas, a line ended by
// a backslash before it would pass 80 columns, continuation lines indented by two blanks.
void append_hex(std::string &out, const std::string &name, const std::string &typeWord,
                const std::vector<unsigned char> &bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string line = "\"" + name + "\"=" + typeWord + ":";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        line += digits[bytes[i] >> 4];
        line += digits[bytes[i] & 15];
        if (i + 1 < bytes.size()) {
            line += ',';
            if (line.size() > 76) {
                out += line;
                out += "\\\r\n";
                line = "  ";
            }
        }
    }
    out += line;
    out += "\r\n";
}

std::vector<unsigned char> utf16(const std::string &text, bool doubleZero) {
    std::vector<unsigned char> bytes;
    for (char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), doubleZero ? 4 : 2, 0);
    return bytes;
}

void append_key(std::string &out, Random &random) {
    out += "[HKEY_LOCAL_MACHINE";
    std::uint32_t depth = 3 + random.below(8);
    for (std::uint32_t i = 0; i < depth; ++i) {
        out += '\\';
        out += kWords[random.below(kWordCount)];
    }
    out += "]\r\n";
}

void append_values(std::string &out, Random &random) {
    char text[128];
    std::snprintf(text, sizeof text, "@=\"Default %u\"\r\n", random.next());
    out += text;
    std::snprintf(text, sizeof text,
                  "\"InstallPath\"=\"C:\\\\Program Files\\\\%s\\\\bin\\\\tool%u.exe\"\r\n",
                  kWords[random.below(kWordCount)], random.below(100));
    out += text;
    std::snprintf(text, sizeof text, "\"Description\"=\"The \\\"%s\\\" component, build %u\"\r\n",
                  kWords[random.below(kWordCount)], random.below(10000));
    out += text;
    std::snprintf(text, sizeof text, "\"Flags\"=dword:%08x\r\n", random.next());
    out += text;
    std::snprintf(text, sizeof text, "\"Count\"=dword:%08x\r\n", random.below(256));
    out += text;
    std::vector<unsigned char> bytes(8 + random.below(120));
    for (auto &b : bytes) {
        b = static_cast<unsigned char>(random.next());
    }
    append_hex(out, "Blob", "hex", bytes);
    append_hex(out, "Expand", "hex(2)", utf16("%SystemRoot%\\system32\\drivers\\etc", false));
    append_hex(out, "Multi", "hex(7)",
               utf16(std::string("first\0second\0third", 18), true));
}

bool generate(const std::string &path, std::uint64_t size) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    Random random;
    std::string chunk = "Windows Registry Editor Version 5.00\r\n\r\n";
    std::uint64_t written = 0;
    bool ok = true;
    while (ok && written < size) {
        append_key(chunk, random);
        append_values(chunk, random);
        chunk += "\r\n";
        if (chunk.size() >= (1u << 20) || written + chunk.size() >= size) {
            ok = std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
            written += chunk.size();
            chunk.clear();
        }
    }
    return std::fclose(f) == 0 && ok;
}

struct Outcome {
    bool ok = false;
    std::uint64_t count = 0; // lines or entries, so that no work can be left out
};

Outcome read_lines(const std::string &path) {
    Outcome o;
    std::FILE *f = std::fopen(path.c_str(), "r");
    if (f == nullptr) {
        return o;
    }
    char line[4095];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        ++o.count;
    }
    o.ok = std::feof(f) != 0;
    std::fclose(f);
    return o;
}

Outcome read_entries(const kzqdump::KzqLibrary &library, const std::string &path) {
    Outcome o;
    if (library.open(path.c_str()) != KZQ_SUCCESS) {
        return o;
    }
    std::vector<char> name(4095), type(4095), data(4097);
    kzq_result_t result;
    for (;;) {
        int32_t isKey = 0;
        uint32_t byteCount = 0;
        result = library.next(&isKey, name.data(), data.data(), type.data(), &byteCount);
        if (result != KZQ_SUCCESS) {
            break;
        }
        ++o.count;
    }
    o.ok = result == KZQ_END_OF_FILE;
    library.close();
    return o;
}

double seconds_of(const std::chrono::steady_clock::time_point &start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The child's side of a memory measurement: reads the file one way and reports by exit status.
int run_child(const std::string &how, const std::string &path) {
    if (how == "lines") {
        return read_lines(path).ok ? 0 : 1;
    }
    kzqdump::KzqLibrary library;
    const char *problem = nullptr;
    if (!kzqdump::load_kzq_library(library, problem)) {
        return 1;
    }
    bool ok = read_entries(library, path).ok;
    kzqdump::unload_kzq_library(library);
    return ok ? 0 : 1;
}

// Runs this program again as a child that reads `path` one way; returns its peak resident set
// in kilobytes, or -1.
long peak_of_child(const char *self, const char *how, const std::string &path) {
    pid_t pid = fork();
    if (pid == 0) {
        execl(self, self, "--child", how, path.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

struct Options {
    std::uint64_t sizeMb = 100;
    int rounds = 5;
    std::vector<std::uint64_t> memoryMb{10, 1024};
    std::string dir = "/tmp";
};

bool parse(int argc, char **argv, Options &options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i];
        const char *value = argv[i + 1];
        if (flag == "--size") {
            options.sizeMb = std::strtoull(value, nullptr, 10);
        } else if (flag == "--rounds") {
            options.rounds = std::atoi(value);
        } else if (flag == "--dir") {
            options.dir = value;
        } else if (flag == "--memory") {
            options.memoryMb.clear();
            for (const char *p = value; *p != '\0';) {
                char *end = nullptr;
                std::uint64_t mb = std::strtoull(p, &end, 10);
                if (end == p) {
                    return false;
                }
                if (mb > 0) {
                    options.memoryMb.push_back(mb);
                }
                p = *end == ',' ? end + 1 : end;
            }
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.sizeMb > 0 && options.rounds > 0;
}

std::string export_path(const Options &options, std::uint64_t mb) {
    return options.dir + "/kzq-bench-" + std::to_string(getpid()) + "-" + std::to_string(mb) +
           "mb.reg";
}

int time_readers(const Options &options) {
    std::string path = export_path(options, options.sizeMb);
    if (!generate(path, options.sizeMb * 1024 * 1024)) {
        std::fprintf(stderr, "kzq_bench: cannot write %s\n", path.c_str());
        return 1;
    }
    kzqdump::KzqLibrary library;
    const char *problem = nullptr;
    if (!kzqdump::load_kzq_library(library, problem)) {
        std::fprintf(stderr, "kzq_bench: %s\n", problem);
        std::remove(path.c_str());
        return 1;
    }
    double mb = static_cast<double>(options.sizeMb * 1024 * 1024) / kMegabyte;
    std::printf("export: %.0f MB, %d rounds, readers alternating\n", mb, options.rounds);
    std::vector<double> lineSeconds, entrySeconds;
    Outcome lines, entries;
    // One untimed read of each warms the page cache and the library alike.
    read_lines(path);
    read_entries(library, path);
    for (int round = 0; round < options.rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        lines = read_lines(path);
        lineSeconds.push_back(seconds_of(start));
        start = std::chrono::steady_clock::now();
        entries = read_entries(library, path);
        entrySeconds.push_back(seconds_of(start));
    }
    kzqdump::unload_kzq_library(library);
    std::remove(path.c_str());
    if (!lines.ok || !entries.ok) {
        std::fprintf(stderr, "kzq_bench: a read did not reach the end of the file\n");
        return 1;
    }
    double a = median(lineSeconds);
    double b = median(entrySeconds);
    std::printf("(a) line loop:   %8.1f MB/s  (%llu lines)\n", mb / a,
                static_cast<unsigned long long>(lines.count));
    std::printf("(b) full read:   %8.1f MB/s  (%llu entries)\n", mb / b,
                static_cast<unsigned long long>(entries.count));
    std::printf("ratio (b)/(a):   %8.2f\n", b / a);
    return 0;
}

int measure_memory(const Options &options, const char *self) {
    for (std::uint64_t mb : options.memoryMb) {
        std::string path = export_path(options, mb);
        if (!generate(path, mb * 1024 * 1024)) {
            std::fprintf(stderr, "kzq_bench: cannot write %s\n", path.c_str());
            return 1;
        }
        long lines = peak_of_child(self, "lines", path);
        long entries = peak_of_child(self, "entries", path);
        std::remove(path.c_str());
        if (lines < 0 || entries < 0) {
            std::fprintf(stderr, "kzq_bench: a reader of the %llu MB export failed\n",
                         static_cast<unsigned long long>(mb));
            return 1;
        }
        std::printf("peak memory, %5llu MB export: (a) %6.1f MB  (b) %6.1f MB\n",
                    static_cast<unsigned long long>(mb), static_cast<double>(lines) / 1024,
                    static_cast<double>(entries) / 1024);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return run_child(argv[2], argv[3]);
    }
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: kzq_bench [--size MB] [--rounds N] [--memory MB[,MB...]] [--dir DIR]\n",
                   stderr);
        return 2;
    }
    if (time_readers(options) != 0) {
        return 1;
    }
    std::fflush(stdout);
    return measure_memory(options, "/proc/self/exe") == 0 ? 0 : 1;
}
