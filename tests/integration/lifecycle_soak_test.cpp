// A long-running host's life with the library, a thousand times over: loading it, opening
// files (two without a close), unloading it; and threads that call the exports and end. After
// it the process holds no more file handles than before and no more memory.
#include "kzq_library.h"
#include "process.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <dirent.h>
#include <malloc.h>
#include <thread>
#endif

namespace {

constexpr int kRounds = 1000;
// The smallest block that the library takes is the 8 KB in which a hex value is assembled, so a
// block kept once a round would grow the process by 8 MB; the allowance is far below that and
// far above the noise of the run-time's own bookkeeping.
constexpr std::uint64_t kMemoryAllowance = 1024 * 1024;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KZQ_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

// The address sanitizer holds freed blocks back in quarantine, so the process's memory says
// nothing about leaks there; its leak checker reports them at exit instead.
#ifdef KZQ_UNDER_ADDRESS_SANITIZER
constexpr bool kMemoryIsMeaningful = false;
#else
constexpr bool kMemoryIsMeaningful = true;
#endif

struct Usage {
    std::uint64_t handles = 0;
    std::uint64_t memory = 0;
};

#ifdef _WIN32
// Wine counts no handles (it reports zero), so there the files' deletion is what shows that
// the library let go of them.
Usage usage_now() {
    Usage u;
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    u.handles = handles;
    // The commit charge, which Wine reports too (it leaves PrivateUsage at zero).
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    u.memory = counters.PagefileUsage;
    return u;
}

void run_on_new_thread(void (*work)(void *), void *argument) {
    struct Call {
        void (*work)(void *);
        void *argument;
    } call{work, argument};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto *c = static_cast<Call *>(p);
            c->work(c->argument);
            return 0;
        },
        &call, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// A copy that the test may delete, to show that the library no longer holds it.
std::string deletable_copy(const std::string &fixture) {
    std::string path = kzq_test::temporary_path("kzq-soak-" +
                                                std::to_string(GetCurrentProcessId()) + "-" +
                                                fixture);
    EXPECT_TRUE(CopyFileA(kzq_test::data_file(fixture).c_str(), path.c_str(), FALSE)) << path;
    return path;
}

bool delete_file(const std::string &path) { return DeleteFileA(path.c_str()) != 0; }
#else
Usage usage_now() {
    Usage u;
    if (DIR *fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) {
            ++u.handles;
        }
        closedir(fds);
    }
    u.memory = mallinfo2().uordblks;
    return u;
}

void run_on_new_thread(void (*work)(void *), void *argument) {
    std::thread(work, argument).join();
}
#endif

class Library {
public:
    explicit Library(bool load = true) {
        if (load) {
            this->load();
        }
    }
    ~Library() { unload(); }
    void load() {
        const char *problem = nullptr;
        loaded_ = kzqdump::load_kzq_library(library_, problem);
        ASSERT_TRUE(loaded_) << problem;
    }
    void unload() {
        if (loaded_) {
            kzqdump::unload_kzq_library(library_);
            loaded_ = false;
        }
    }
    const kzqdump::KzqLibrary &operator*() const { return library_; }
    const kzqdump::KzqLibrary *operator->() const { return &library_; }

private:
    kzqdump::KzqLibrary library_;
    bool loaded_ = false;
};

// Reads at most `most` entries; returns the result that ended the read.
kzq_result_t read_entries(const kzqdump::KzqLibrary &library, int most) {
    std::vector<char> name(4095), type(4095), data(4097);
    kzq_result_t result = KZQ_SUCCESS;
    for (int i = 0; i < most && result == KZQ_SUCCESS; ++i) {
        int32_t isKey = 0;
        uint32_t byteCount = 0;
        result = library.next(&isKey, name.data(), data.data(), type.data(), &byteCount);
    }
    return result;
}

// One round: load, open a file and read into it, open a second one without closing the first
// and read it to its end (hex values included), then unload with both still open.
void load_open_twice_and_unload(const std::string &first, const std::string &second) {
    Library library;
    ASSERT_EQ(library->open(first.c_str()), KZQ_SUCCESS);
    ASSERT_EQ(read_entries(*library, 1), KZQ_SUCCESS);
    ASSERT_EQ(library->open(second.c_str()), KZQ_SUCCESS);
    ASSERT_EQ(read_entries(*library, 1000), KZQ_END_OF_FILE);
}

TEST(LifecycleSoak, LoadOpenTwiceAndUnloadLeavesNothingBehind) {
#ifdef _WIN32
    std::string first = deletable_copy("example.reg");
    std::string second = deletable_copy("hex_continuation.reg");
#else
    std::string first = kzq_test::data_file("example.reg");
    std::string second = kzq_test::data_file("hex_continuation.reg");
#endif
    // The first round lets the loader and the run-time make what they keep for good.
    load_open_twice_and_unload(first, second);
    Usage before = usage_now();
    for (int round = 0; round < kRounds; ++round) {
        load_open_twice_and_unload(first, second);
        if (HasFatalFailure()) {
            FAIL() << "round " << round;
        }
#ifdef _WIN32
        // Only the unload can have closed them: the library holds them without delete sharing.
        ASSERT_TRUE(delete_file(first)) << "round " << round << ": " << first;
        ASSERT_TRUE(delete_file(second)) << "round " << round << ": " << second;
        first = deletable_copy("example.reg");
        second = deletable_copy("hex_continuation.reg");
#endif
    }
    Usage after = usage_now();
    EXPECT_EQ(after.handles, before.handles) << "handles left open";
    if (kMemoryIsMeaningful) {
        EXPECT_LE(after.memory, before.memory + kMemoryAllowance) << "memory grew";
    }
#ifdef _WIN32
    delete_file(first);
    delete_file(second);
#endif
}

struct ThreadWork {
    const kzqdump::KzqLibrary *library;
    std::string file;
    int failures = 0;
};

// What each thread does: a whole read of a file, then the host list, into its own buffers.
void read_and_list(void *argument) {
    auto *work = static_cast<ThreadWork *>(argument);
    const kzqdump::KzqLibrary &library = *work->library;
    bool ok = library.open(work->file.c_str()) == KZQ_SUCCESS &&
              read_entries(library, 1000) == KZQ_END_OF_FILE &&
              library.close() == KZQ_SUCCESS;
    std::vector<char> list(1024);
    switch (library.hostList(list.data())) {
    case KZQ_SUCCESS:
    case KZQ_ERR_WINSOCK_STARTUP:
    case KZQ_ERR_WINSOCK_VERSION:
    case KZQ_ERR_HOST_NAME:
    case KZQ_ERR_HOST_LOOKUP:
        break;
    default:
        ok = false;
    }
    if (!ok) {
        ++work->failures;
    }
}

TEST(ThreadSoak, ThreadsThatCallTheExportsAndEndLeaveNothingBehind) {
    Library library;
#ifdef _WIN32
    ThreadWork work{&*library, deletable_copy("hex_continuation.reg")};
#else
    ThreadWork work{&*library, kzq_test::data_file("hex_continuation.reg")};
#endif
    for (int i = 0; i < 10; ++i) {
        run_on_new_thread(read_and_list, &work);
    }
    Usage before = usage_now();
    for (int i = 0; i < kRounds; ++i) {
        run_on_new_thread(read_and_list, &work);
    }
    Usage after = usage_now();
    EXPECT_EQ(work.failures, 0);
    EXPECT_EQ(after.handles, before.handles) << "handles left open";
    if (kMemoryIsMeaningful) {
        EXPECT_LE(after.memory, before.memory + kMemoryAllowance) << "memory grew";
    }
#ifdef _WIN32
    EXPECT_TRUE(delete_file(work.file)) << "a thread left the file open";
#endif
}

} // namespace
