// Reads entries through a reading slot over fake files, the way a host does, with every buffer
// filled with a pattern first so that any byte written beyond what an entry delivers shows.
#ifndef KZQ_TESTS_SLOT_READER_H
#define KZQ_TESTS_SLOT_READER_H

#include "fake_file_api.h"
#include "fake_memory.h"
#include "reading_slot.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kzq_test {

constexpr unsigned char kPattern = 0xA5;
constexpr std::int32_t kIsKeyPattern = 0x5A5A5A5A;
constexpr std::uint32_t kByteCountPattern = 0xA5A5A5A5u;
// The most each buffer receives, and a guard after it that nothing may touch.
constexpr std::size_t kTextMost = 4095;
constexpr std::size_t kDataMost = 4097;
constexpr std::size_t kGuard = 64;

struct Delivered {
    kzq_result_t result = 0;
    std::int32_t isKey = kIsKeyPattern;
    std::uint32_t byteCount = kByteCountPattern;
    std::string name;
    std::string type;
    std::string data; // for a hex value, its bytes
};

// Checks that a buffer holds a zero-terminated text of `length` bytes and the pattern after it.
inline ::testing::AssertionResult pattern_after(const std::vector<char> &buffer, std::size_t from) {
    for (std::size_t i = from; i < buffer.size(); ++i) {
        if (static_cast<unsigned char>(buffer[i]) != kPattern) {
            return ::testing::AssertionFailure() << "byte " << i << " was written";
        }
    }
    return ::testing::AssertionSuccess();
}

class SlotReader {
public:
    FakeFileApi files;
    FakeMemory memory;
    kzq::ReadingSlot slot{files, memory};

    kzq_result_t open(const std::string &content, const std::string &name = "test.reg") {
        files.files[name] = content;
        return slot.open(name.c_str());
    }

    // Reads the next entry; on any result but success, checks that nothing was written.
    Delivered next() {
        std::vector<char> name(kTextMost + kGuard, static_cast<char>(kPattern));
        std::vector<char> type(kTextMost + kGuard, static_cast<char>(kPattern));
        std::vector<char> data(kDataMost + kGuard, static_cast<char>(kPattern));
        Delivered d;
        d.result = slot.next(&d.isKey, name.data(), data.data(), type.data(), &d.byteCount);
        if (d.result != KZQ_SUCCESS) {
            EXPECT_EQ(d.isKey, kIsKeyPattern);
            EXPECT_EQ(d.byteCount, kByteCountPattern);
            EXPECT_TRUE(pattern_after(name, 0));
            EXPECT_TRUE(pattern_after(type, 0));
            EXPECT_TRUE(pattern_after(data, 0));
            return d;
        }
        d.name = take_text(name);
        d.type = take_text(type);
        bool bytes = d.isKey == 0 && d.byteCount != kByteCountPattern;
        if (bytes) {
            d.data.assign(data.data(), d.byteCount);
            EXPECT_EQ(data[d.byteCount], '\0') << "hex bytes end with a zero byte";
            EXPECT_TRUE(pattern_after(data, d.byteCount + 1));
        } else {
            d.data = take_text(data);
        }
        return d;
    }

private:
    static std::string take_text(const std::vector<char> &buffer) {
        std::size_t length = strnlen(buffer.data(), buffer.size());
        EXPECT_LT(length, buffer.size()) << "a text must end with a zero byte";
        EXPECT_TRUE(pattern_after(buffer, length + 1));
        return std::string(buffer.data(), length);
    }
};

} // namespace kzq_test

#endif
