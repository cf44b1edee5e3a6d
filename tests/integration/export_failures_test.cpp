// Every way in which a call of an export can fail, through the library loaded by name as a host
// loads it: the call returns a code that its export may return, and the caller's buffers and
// integers, filled with a pattern first, keep every byte of it.
#include "kzq_library.h"
#include "process.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr char kPattern = static_cast<char>(0xA5);
constexpr int32_t kIsKeyPattern = 0x5A5A5A5A;
constexpr uint32_t kByteCountPattern = 0xA5A5A5A5u;

class Library {
public:
    Library() {
        const char *problem = nullptr;
        loaded_ = kzqdump::load_kzq_library(library_, problem);
    }
    ~Library() {
        if (loaded_) {
            kzqdump::unload_kzq_library(library_);
        }
    }
    bool loaded() const { return loaded_; }
    const kzqdump::KzqLibrary &operator*() const { return library_; }
    const kzqdump::KzqLibrary *operator->() const { return &library_; }

private:
    kzqdump::KzqLibrary library_;
    bool loaded_ = false;
};

// Reads to the first result that is not KZQ_SUCCESS, which the case's failing call follows.
void read_to_the_end(const kzqdump::KzqLibrary &library) {
    std::vector<char> name(4095), type(4095), data(4097);
    int32_t isKey = 0;
    uint32_t byteCount = 0;
    for (int i = 0; i < 100000; ++i) {
        if (library.next(&isKey, name.data(), data.data(), type.data(), &byteCount) !=
            KZQ_SUCCESS) {
            return;
        }
    }
    ADD_FAILURE() << "the file did not end";
}

struct NextFailure {
    const char *name;
    // Brings the library into the state in which the next call of KZQGetNextRegFileLine fails.
    std::function<void(const kzqdump::KzqLibrary &)> setUp;
    std::vector<kzq_result_t> results; // what that call may return
};

std::ostream &operator<<(std::ostream &os, const NextFailure &c) { return os << c.name; }

class FailedNext : public testing::TestWithParam<NextFailure> {};

TEST_P(FailedNext, WritesNothing) {
    const NextFailure &c = GetParam();
    Library library;
    ASSERT_TRUE(library.loaded());
    c.setUp(*library);
    // Each buffer is a little longer than the most that a call writes into it.
    std::vector<char> name(4095 + 64, kPattern), type(4095 + 64, kPattern), data(4097 + 64, kPattern);
    const std::vector<char> nameBefore = name, typeBefore = type, dataBefore = data;
    for (int call = 0; call < 2; ++call) {
        int32_t isKey = kIsKeyPattern;
        uint32_t byteCount = kByteCountPattern;
        kzq_result_t result =
            library->next(&isKey, name.data(), data.data(), type.data(), &byteCount);
        EXPECT_NE(std::find(c.results.begin(), c.results.end(), result), c.results.end())
            << "call " << call << " returned " << kzq::result_name(result);
        EXPECT_EQ(isKey, kIsKeyPattern);
        EXPECT_EQ(byteCount, kByteCountPattern);
        EXPECT_TRUE(name == nameBefore) << "keyOrName was written";
        EXPECT_TRUE(type == typeBefore) << "type was written";
        EXPECT_TRUE(data == dataBefore) << "data was written";
    }
    library->close();
}

INSTANTIATE_TEST_SUITE_P(
    States, FailedNext,
    testing::Values(
        NextFailure{"AtTheEndOfTheFile",
                    [](const kzqdump::KzqLibrary &l) {
                        ASSERT_EQ(l.open(kzq_test::data_file("example.reg").c_str()), KZQ_SUCCESS);
                        read_to_the_end(l);
                    },
                    {KZQ_END_OF_FILE}},
        NextFailure{"InAFileWithoutEntries",
                    [](const kzqdump::KzqLibrary &l) {
                        ASSERT_EQ(l.open(kzq_test::data_file("no_entries.reg").c_str()),
                                  KZQ_SUCCESS);
                    },
                    {KZQ_END_OF_FILE}},
        NextFailure{"AfterTheClose",
                    [](const kzqdump::KzqLibrary &l) {
                        ASSERT_EQ(l.open(kzq_test::data_file("example.reg").c_str()), KZQ_SUCCESS);
                        ASSERT_EQ(l.close(), KZQ_SUCCESS);
                    },
                    {KZQ_ERR_FILE_READ}},
        // A host must not read with no file open; if it does, it still gets a failure.
        NextFailure{"BeforeAnyOpen", [](const kzqdump::KzqLibrary &) {},
                    {KZQ_ERR_FILE_READ, KZQ_END_OF_FILE}},
        NextFailure{"AfterAFailedOpen",
                    [](const kzqdump::KzqLibrary &l) {
                        ASSERT_EQ(l.open(kzq_test::data_file("no-such-file.reg").c_str()),
                                  KZQ_ERR_FILE_OPEN);
                    },
                    {KZQ_ERR_FILE_READ, KZQ_END_OF_FILE}}
#ifndef _WIN32
        // A directory opens for reading here, and then every read of it fails.
        ,
        NextFailure{"WhenTheReadFails",
                    [](const kzqdump::KzqLibrary &l) {
                        ASSERT_EQ(l.open(kzq_test::program_directory().c_str()), KZQ_SUCCESS);
                    },
                    {KZQ_ERR_FILE_READ}}
#endif
        ),
    [](const testing::TestParamInfo<NextFailure> &info) { return std::string(info.param.name); });

TEST(FailedOpen, LeavesTheFileNameAsItWas) {
    Library library;
    ASSERT_TRUE(library.loaded());
    std::string missing = kzq_test::data_file("no-such-file.reg");
    std::vector<char> name(missing.begin(), missing.end());
    name.push_back('\0');
    name.resize(name.size() + 64, kPattern);
    const std::vector<char> before = name;
    EXPECT_EQ(library->open(name.data()), KZQ_ERR_FILE_OPEN);
    EXPECT_TRUE(name == before);

    std::vector<char> empty(64, kPattern);
    empty[0] = '\0';
    const std::vector<char> emptyBefore = empty;
    EXPECT_EQ(library->open(empty.data()), KZQ_ERR_NO_FILE_NAME);
    EXPECT_TRUE(empty == emptyBefore);
    EXPECT_EQ(library->open(nullptr), KZQ_ERR_NO_FILE_NAME);
}

TEST(FailedClose, ReturnsOnlyItsOwnCode) {
    Library library;
    ASSERT_TRUE(library.loaded());
    EXPECT_EQ(library->close(), KZQ_ERR_FILE_CLOSE) << "nothing was opened";
    ASSERT_EQ(library->open(kzq_test::data_file("example.reg").c_str()), KZQ_SUCCESS);
    EXPECT_EQ(library->close(), KZQ_SUCCESS);
    EXPECT_EQ(library->close(), KZQ_ERR_FILE_CLOSE) << "a second close";
}

// Whatever the host list's outcome on this machine, a failure writes nothing into the buffer,
// and null is accepted as a buffer.
TEST(HostList, AFailureWritesNothing) {
    Library library;
    ASSERT_TRUE(library.loaded());
    const std::vector<kzq_result_t> results{KZQ_SUCCESS, KZQ_ERR_WINSOCK_STARTUP,
                                            KZQ_ERR_WINSOCK_VERSION, KZQ_ERR_HOST_NAME,
                                            KZQ_ERR_HOST_LOOKUP};
    std::vector<char> buffer(1024, kPattern);
    const std::vector<char> before = buffer;
    kzq_result_t result = library->hostList(buffer.data());
    ASSERT_NE(std::find(results.begin(), results.end(), result), results.end())
        << kzq::result_name(result);
    if (result != KZQ_SUCCESS) {
        EXPECT_TRUE(buffer == before) << kzq::result_name(result);
    }
    kzq_result_t withNull = library->hostList(nullptr);
    EXPECT_NE(std::find(results.begin(), results.end(), withNull), results.end())
        << kzq::result_name(withNull);
}

} // namespace
