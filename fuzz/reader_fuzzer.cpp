// Feeds any bytes at all to the reader the way a host does: the input becomes a file, which is
// opened and read to its end through the exports, then closed. The caller's buffers are heap
// blocks of exactly the most that a call may write into them, so a write one byte past that
// most lands in the address sanitizer's red zone. Every call must return a code that its export
// may return, and a call that fails must leave every buffer and integer as it was.
//
// The asan preset builds it (option KZQ_FUZZ) and the test command runs it for 60 seconds;
// README.md says how to run it for longer and what to do with an input that fails.
#include "kzqtools.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

constexpr std::size_t kTextMost = 4095; // keyOrName and type
constexpr std::size_t kDataMost = 4097; // data: 4096 hex bytes and their zero byte
constexpr unsigned char kPattern = 0xA5;
constexpr int32_t kIsKeyPattern = 0x5A5A5A5A;
constexpr uint32_t kByteCountPattern = 0xA5A5A5A5u;

void fail(const char *what) {
    std::fprintf(stderr, "reader fuzzer: %s\n", what);
    std::abort();
}

struct Buffers {
    char *name = new char[kTextMost];
    char *type = new char[kTextMost];
    char *data = new char[kDataMost];
    Buffers(const Buffers &) = delete;
    Buffers &operator=(const Buffers &) = delete;
    Buffers() = default;
    ~Buffers() {
        delete[] name;
        delete[] type;
        delete[] data;
    }
    void fill() {
        std::memset(name, kPattern, kTextMost);
        std::memset(type, kPattern, kTextMost);
        std::memset(data, kPattern, kDataMost);
    }
    bool untouched() const {
        return all_pattern(name, kTextMost) && all_pattern(type, kTextMost) &&
               all_pattern(data, kDataMost);
    }
    static bool all_pattern(const char *p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (static_cast<unsigned char>(p[i]) != kPattern) {
                return false;
            }
        }
        return true;
    }
};

// A text that the call wrote must end with its zero byte inside the buffer.
void check_text(const char *text, std::size_t most, const char *what) {
    if (std::memchr(text, '\0', most) == nullptr) {
        fail(what);
    }
}

// One file for the whole run, named after the process so that parallel jobs keep apart, and
// removed when the run ends.
char inputPath[512];

void remove_input() { std::remove(inputPath); }

const char *input_path() {
    if (inputPath[0] == '\0') {
        const char *dir = std::getenv("TMPDIR");
        std::snprintf(inputPath, sizeof inputPath, "%s/kzq-fuzz-%d.reg",
                      dir != nullptr && *dir != '\0' ? dir : "/tmp", static_cast<int>(getpid()));
        std::atexit(remove_input);
    }
    return inputPath;
}

bool write_input(const uint8_t *bytes, std::size_t size) {
    std::FILE *f = std::fopen(input_path(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool whole = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && whole;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
    if (!write_input(bytes, size)) {
        fail("cannot write the input file");
    }
    if (KZQOpenRegFileRead(input_path()) != KZQ_SUCCESS) {
        fail("the input file does not open");
    }

    Buffers buffers;
    kzq_result_t result = KZQ_SUCCESS;
    std::size_t calls = 0;
    while (result == KZQ_SUCCESS) {
        // Every entry takes at least one character of text, and a UTF-16 file's text has at
        // most one and a half times its bytes, so a read that goes on longer never ends.
        if (++calls > 2 * size + 1) {
            fail("more entries than the file has characters");
        }
        buffers.fill();
        int32_t isKey = kIsKeyPattern;
        uint32_t byteCount = kByteCountPattern;
        result = KZQGetNextRegFileLine(&isKey, buffers.name, buffers.data, buffers.type,
                                       &byteCount);
        if (result == KZQ_SUCCESS) {
            if (isKey != 0 && isKey != 1) {
                fail("isKey is neither 0 nor 1");
            }
            check_text(buffers.name, kTextMost, "keyOrName has no zero byte");
            check_text(buffers.type, kTextMost, "type has no zero byte");
            if (isKey == 1 && byteCount != 0) {
                fail("a key entry's byteCount is not 0");
            }
            bool hexBytes = isKey == 0 && byteCount != kByteCountPattern;
            if (!hexBytes) {
                check_text(buffers.data, kDataMost, "data has no zero byte");
            } else if (byteCount >= kDataMost) {
                fail("byteCount is larger than the data buffer");
            } else if (buffers.data[byteCount] != '\0') {
                fail("the hex bytes are not followed by a zero byte");
            }
        } else {
            if (result != KZQ_END_OF_FILE) {
                fail("a read of a readable file ended with a failure");
            }
            if (!buffers.untouched() || isKey != kIsKeyPattern ||
                byteCount != kByteCountPattern) {
                fail("a call that did not succeed wrote into the caller's storage");
            }
        }
    }
    if (KZQCloseRegFile() != KZQ_SUCCESS) {
        fail("the first close failed");
    }
    int32_t isKey = kIsKeyPattern;
    uint32_t byteCount = kByteCountPattern;
    buffers.fill();
    if (KZQGetNextRegFileLine(&isKey, buffers.name, buffers.data, buffers.type, &byteCount) !=
            KZQ_ERR_FILE_READ ||
        !buffers.untouched() || isKey != kIsKeyPattern || byteCount != kByteCountPattern) {
        fail("a read after the close did not fail cleanly");
    }
    if (KZQCloseRegFile() != KZQ_ERR_FILE_CLOSE) {
        fail("a second close did not fail");
    }
    return 0;
}
